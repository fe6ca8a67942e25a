#pragma once

#include "settings/yIniServices.h"

class MsgBox;

// The real platform pieces for yIni (yIni::defaultServices hands them out). The services live until
// the process ends; msgBox must too.
class yIniPlatform {
public:
    static yIniServices Services(MsgBox &msgBox);
};
