// Arbitrary bytes as the script host's output: cut into lines by the
// bridge's line splitter and handled by HandleLine, in chunks of varying
// size. Along the way every line's fields are checked against Split, and
// every field read as a number is checked against strtof and strtol.
#include "core/Text.h"
#include "script/FieldReader.h"
#include "script/LineAssembler.h"
#include "script/LineFields.h"
#include "script/ProtocolNumbers.h"
#include "script/ScriptBridge.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace
{

using namespace Marrowvane;

// The real standard error, for this harness's own findings.
std::FILE* report = nullptr;

void Check(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(report ? report : stderr, "FuzzLineProtocol: %s\n", what);
        std::abort();
    }
}

void CheckNumbers(std::string_view field)
{
    const std::string text(field);

    errno = 0;
    char* end = nullptr;
    const float expectedFloat = std::strtof(text.c_str(), &end);
    const bool floatParses = end != text.c_str() && errno != ERANGE;
    float value = 0.0f;
    Check(ParseFloatField(field, value) == floatParses, "float field parses unlike strtof");
    if (floatParses)
    {
        if (std::isnan(expectedFloat))
        {
            Check(std::isnan(value), "float field is not NaN as with strtof");
        }
        else
        {
            Check(std::memcmp(&value, &expectedFloat, sizeof value) == 0, "float field differs from strtof");
        }
    }

    errno = 0;
    const long expectedInt = std::strtol(text.c_str(), &end, 10);
    const bool intParses =
        end != text.c_str() && errno != ERANGE && expectedInt >= INT32_MIN && expectedInt <= INT32_MAX;
    std::int32_t integer = 0;
    Check(ParseIntField(field, integer) == intParses, "integer field parses unlike strtol");
    Check(!intParses || integer == expectedInt, "integer field differs from strtol");
}

void CheckLine(std::string_view line)
{
    const std::vector<std::string> expected = Split(std::string(line), '|');

    // The one-pass reader: as text, and as numbers field by field.
    FieldReader texts(line);
    FieldReader floats(line);
    FieldReader integers(line);
    for (const std::string& piece : expected)
    {
        std::string_view text;
        Check(texts.Text(text) && text == piece, "FieldReader text differs from Split");
        float value = 0.0f;
        float reference = 0.0f;
        const bool parsed = floats.Float(value);
        Check(parsed == ParseFloatField(piece, reference), "FieldReader float differs from ParseFloatField");
        Check(!parsed || std::memcmp(&value, &reference, sizeof value) == 0 ||
                  (std::isnan(value) && std::isnan(reference)),
              "FieldReader float value differs");
        std::int32_t integer = 0;
        std::int32_t referenceInteger = 0;
        const bool parsedInteger = integers.Int(integer);
        Check(parsedInteger == ParseIntField(piece, referenceInteger),
              "FieldReader integer differs from ParseIntField");
        Check(!parsedInteger || integer == referenceInteger, "FieldReader integer value differs");
    }
    Check(texts.AtEnd() && floats.AtEnd() && integers.AtEnd(), "FieldReader has fields Split has not");

    const LineFields fields(line);
    Check(fields.Count() == expected.size(), "field count differs from Split");
    for (std::size_t i = 0; i < fields.Count() && i < LineFields::kCapacity; ++i)
    {
        Check(fields[i] == expected[i], "field differs from Split");
        // strtof and strtol stop at a NUL; the field views do not.
        if (fields[i].find('\0') == std::string_view::npos)
        {
            CheckNumbers(fields[i]);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The engine's log lines go nowhere; libFuzzer keeps the FILE it took
    // for its own reports at start-up, and sanitizers write to the
    // descriptor directly.
    report = stderr;
    stdout = std::fopen("/dev/null", "w");
    stderr = std::fopen("/dev/null", "w");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
    {
        return 0;
    }
    // The first byte sets how the rest arrives: in chunks of 1 to 256 bytes.
    const std::size_t chunk = static_cast<std::size_t>(data[0]) + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    ScriptBridge bridge;
    bridge.SetProjectDirectory("/nonexistent/marrowvane-fuzz-project");
    LineAssembler checker;
    for (std::size_t start = 0; start < bytes.size(); start += chunk)
    {
        const std::string_view piece = bytes.substr(start, chunk);
        bridge.ReceiveOutput(piece);
        checker.Feed(piece, CheckLine);
    }
    bridge.ClearFrame();
    return 0;
}
