// Loading the settings and hot keys from any INI file: at most five keys, three lists in step.
#include "FuzzSupport.h"
#include "shared/modVarolin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g_sIniFile = Fuzz::writeFile(QStringLiteral("hotkeys.ini"), Fuzz::bytes(data, size));
    LoadSettings();
    Fuzz::check(!g_sSpaceSubst.isEmpty() && !g_sSpaceSubst.contains(QLatin1Char(' ')),
                "a space substitution that "
                "never ends",
                g_sSpaceSubst);
    Fuzz::check(g_iHotKeyCount >= 0 && g_iHotKeyCount <= 5, "hot-key count out of range");
    Fuzz::check(g_asHotKeyName.size() == g_iHotKeyCount && g_aiHotKeyCode.size() == g_iHotKeyCount &&
                    g_asHotKeyText.size() == g_iHotKeyCount,
                "hot-key lists out of step");
    for (const QString& text : g_asHotKeyText) {
        Fuzz::check(!text.contains(g_sSpaceSubst), "a substitution left in a hot-key text", text);
        UnescapeHotKeyText(text);
    }
    return 0;
}
