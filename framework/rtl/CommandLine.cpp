#include "rtl/CommandLine.h"

#include "rtl/WinApi.h"

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Reads the parameter that starts at or after pos; pos ends behind it.
std::string NextParam(const std::string& s, size_t& pos)
{
    for (;;) {
        while (pos < s.size() && IsSeparator(s[pos])) ++pos;
        if (s.compare(pos, 2, "\"\"") == 0)
            pos += 2;  // an empty quoted parameter is skipped
        else
            break;
    }
    std::string param;
    while (pos < s.size() && !IsSeparator(s[pos])) {
        if (s[pos] == '"') {
            size_t close = s.find('"', pos + 1);
            if (close == std::string::npos) close = s.size();
            param.append(s, pos + 1, close - pos - 1);
            pos = close < s.size() ? close + 1 : close;
        } else {
            param += s[pos++];
        }
    }
    return param;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine)
{
    std::vector<std::string> words;
    size_t pos = 0;
    words.push_back(NextParam(commandLine, pos));
    for (std::string param = NextParam(commandLine, pos); !param.empty(); param = NextParam(commandLine, pos))
        words.push_back(param);
    return words;
}

std::string ParamStr(Integer index)
{
    if (index == 0) {
        char buffer[MAX_PATH + 1];
        DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
        return std::string(buffer, length);
    }
    std::vector<std::string> words = SplitCommandLine(GetCommandLineA());
    return index > 0 && size_t(index) < words.size() ? words[index] : "";
}

Integer ParamCount() { return Integer(SplitCommandLine(GetCommandLineA()).size()) - 1; }
