// Loading the settings and hot keys from any INI file: at most five keys, three lists in step.
#include "FuzzSupport.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Session session(Fuzz::writeFile(QStringLiteral("hotkeys.ini"), Fuzz::bytes(data, size)));
    session.LoadSettings();
    Fuzz::check(!session.spaceSubst.isEmpty() && !session.spaceSubst.contains(QLatin1Char(' ')),
                "a space substitution that never ends", session.spaceSubst);
    Fuzz::check(session.hotKeys.count() >= 0 && session.hotKeys.count() <= HotKeySet::kMaxKeys,
                "hot-key count out of range");
    for (int i = 0; i < session.hotKeys.count(); ++i) {
        const HotKey& key = session.hotKeys.at(i);
        HotKeySet::fromEntries({HotKeySet::entry(key, session.spaceSubst)}, session.spaceSubst);
        UnescapeHotKeyText(key.text);
    }
    return 0;
}
