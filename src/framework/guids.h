// Interface and class identifiers that the import libraries declare but do not define.
// Values as the platform documents them; defined once, in guids.cpp.
#pragma once

#include <windows.h>

namespace fx {

extern const CLSID kClsidJScript;
extern const IID kIidActiveScript;
extern const IID kIidActiveScriptParse;  // the 32- or 64-bit variant matching this build
extern const IID kIidActiveScriptSite;
extern const IID kIidActiveScriptSiteWindow;
extern const CLSID kClsidWebBrowser;

}  // namespace fx
