// The send-keys parser: a sequence is read whole or refused with a reason, never half.
#include "FuzzSupport.h"
#include "platform/SendKeysParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString keys = Fuzz::text(data, size);
    QString error;
    const QList<SendKeysParser::Stroke> strokes = SendKeysParser::parse(keys, &error);
    Fuzz::check(error.isEmpty() || strokes.isEmpty(), "strokes besides an error", keys);
    // Only a NUL, which no INI value holds, gives a stroke of no key.
    for (const SendKeysParser::Stroke& stroke : strokes)
        Fuzz::check(stroke.key != 0 || !stroke.text.isEmpty() || keys.contains(QChar(0)), "a stroke of nothing", keys);
    return 0;
}
