// The hot-key text forms: escaping only puts braces round parentheses, so unescaping it gives what
// unescaping the plain text gives, and escaping a text without braces types it back.
#include "FuzzSupport.h"
#include "platform/SendKeysParser.h"
#include "shared/modVarolin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = Fuzz::text(data, size);
    const QString escaped = EscapeHotKeyText(text);
    Fuzz::check(UnescapeHotKeyText(escaped) == UnescapeHotKeyText(text), "escaping changed the text", text);
    const QString unescaped = UnescapeHotKeyText(text);
    Fuzz::check(!unescaped.contains(QLatin1Char('{')) && !unescaped.contains(QLatin1Char('}')),
                "a brace left after unescaping", text);
    QString error;
    SendKeysParser::parse(EscapeHotKeyText(unescaped), &error);
    return 0;
}
