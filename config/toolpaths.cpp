#include "config/toolpaths.h"

QString javabin;
QString javahlp;
QString temp;
QString doscmd;
QString homedir;
QString curdir;
