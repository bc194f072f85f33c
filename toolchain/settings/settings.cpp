// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/settings/settings.h"

bool CBDEBUG = false;
bool CBDEPRECATION = false;
bool CBNOWARN = false;
bool CBOPTIMIZE = false;
bool CBVERBOSE = false;
bool CBDEPEND = false;

std::optional<QString> EDITDESTINATION;
std::optional<QString> EDITCLASSPATH;
std::optional<QString> EDITJAVAOPTIONS;
std::optional<QString> EDITCMDLINE;

int tracebrowser = 0;

void resetBuildSettings()
{
    CBDEBUG = CBDEPRECATION = CBNOWARN = CBOPTIMIZE = CBVERBOSE = CBDEPEND = false;
    EDITDESTINATION.reset();
    EDITCLASSPATH.reset();
    EDITJAVAOPTIONS.reset();
    EDITCMDLINE.reset();
    tracebrowser = 0;
}

ModelSettings modelSettings()
{
    return ModelSettings{EDITCLASSPATH, EDITDESTINATION};
}
