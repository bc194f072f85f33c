// Commands of the editor window that hand over to other parts of the program.
#include "editor/child.h"
#include "editor/editcontrol.h"
#include "workspace/client.h"

void TFileMDIChild::SetFileType() {}
int TFileMDIChild::scan(const QString&) { return 0; }
void TFileMDIChild::CmFilePrint() {}
void TFileMDIChild::CmFilePageSetup() {}
void TFileMDIChild::CmUnix2Dos() {}
void TFileMDIChild::CmJavaC() {}
void TFileMDIChild::CmJavaRun() {}
void TFileMDIChild::CmJavaApplet() {}
bool TFileMDIChild::compiling() const { return false; }
void TFileMDIChild::compileFinished(int) {}
