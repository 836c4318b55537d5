// Runs the registry calls behind the About box's System Info button against the real Windows registry
// API (under Wine on the build machine). run-under-wine.sh writes the values first; every check prints
// one "PASS name" or "FAIL name: why" line, and the exit status is the number of failures.
#include "platform/Win32Registry.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t LocalMachine = 0x80000002;
constexpr std::uint32_t QueryAndChangeAccess = 0x2003F;
constexpr std::uint32_t BufferSize = 1024;
constexpr std::uint32_t TextType = 1;
constexpr std::uint32_t BinaryType = 3;
constexpr std::uint32_t NumberType = 4;
constexpr const char* TestKey = "SOFTWARE\\Tallyvex Test";

struct Read
{
    bool opened = false;
    bool queried = false;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::vector<char> buffer = std::vector<char>(BufferSize, '\0');
};

// Open, query into a buffer of 1,024 zero bytes, close: the registry steps of reading one value.
Read readValue(const char* keyPath, const char* valueName)
{
    Read read;
    const auto key = Win32Registry::openKey(LocalMachine, keyPath, QueryAndChangeAccess);
    read.opened = key.has_value();
    if (!key)
        return read;
    read.queried = Win32Registry::queryValue(*key, valueName, read.type, read.buffer.data(), BufferSize, read.size);
    Win32Registry::closeKey(*key);
    return read;
}

int failures = 0;

void check(const char* name, bool passed, const std::string& why)
{
    if (passed) {
        std::printf("PASS %s\n", name);
    } else {
        std::printf("FAIL %s: %s\n", name, why.c_str());
        ++failures;
    }
}

std::string describe(const Read& read)
{
    return "opened " + std::to_string(read.opened) + ", queried " + std::to_string(read.queried) + ", type "
        + std::to_string(read.type) + ", size " + std::to_string(read.size);
}

} // namespace

int main()
{
    const std::string toolPath = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
    const Read text = readValue(TestKey, "Text");
    check("text value",
          text.queried && text.type == TextType && text.size == toolPath.size() + 1
              && std::string(text.buffer.data()) == toolPath,
          describe(text) + ", text \"" + std::string(text.buffer.data()) + "\"");

    // 0x01020A0B, stored least significant byte first.
    const Read number = readValue(TestKey, "Number");
    const unsigned char expectedBytes[] = {0x0B, 0x0A, 0x02, 0x01};
    check("number value",
          number.queried && number.type == NumberType && number.size == 4
              && std::memcmp(number.buffer.data(), expectedBytes, 4) == 0,
          describe(number));

    const Read missingKey = readValue("SOFTWARE\\Tallyvex Test\\No Such Key", "Text");
    check("missing key", !missingKey.opened, describe(missingKey));

    const Read missingValue = readValue(TestKey, "No Such Value");
    check("missing value", missingValue.opened && !missingValue.queried, describe(missingValue));

    const Read tooLong = readValue(TestKey, "Long");
    check("value longer than the buffer", tooLong.opened && !tooLong.queried, describe(tooLong));

    // 1,023 characters and the terminating zero fill the buffer exactly.
    const Read fullText = readValue(TestKey, "FullText");
    const auto firstZero = std::find(fullText.buffer.begin(), fullText.buffer.end(), '\0');
    check("text that fills the buffer",
          fullText.queried && fullText.type == TextType && fullText.size == BufferSize
              && firstZero - fullText.buffer.begin() == BufferSize - 1,
          describe(fullText));

    // 1,024 bytes without a zero: the read succeeds and leaves no terminating zero to cut at.
    const Read unterminated = readValue(TestKey, "Unterminated");
    check("1,024 bytes without a terminating zero",
          unterminated.queried && unterminated.type == BinaryType && unterminated.size == BufferSize
              && std::find(unterminated.buffer.begin(), unterminated.buffer.end(), '\0') == unterminated.buffer.end(),
          describe(unterminated));

    std::printf("%d of 7 checks failed\n", failures);
    return failures;
}
