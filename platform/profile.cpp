#include "platform/profile.h"

#include "platform/files.h"
#include "platform/runtime.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return s.substr(b, e - b);
}

std::vector<std::string> ReadLines(const char* file) {
    std::vector<std::string> lines;
    std::FILE* fp = crt::fopen(file, "rb");
    if (!fp) return lines;
    std::string cur;
    int c;
    while ((c = std::fgetc(fp)) != EOF) {
        if (c == '\n') {
            if (!cur.empty() && cur.back() == '\r') cur.pop_back();
            lines.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(static_cast<char>(c));
        }
    }
    if (!cur.empty()) {
        if (cur.back() == '\r') cur.pop_back();
        lines.push_back(cur);
    }
    std::fclose(fp);
    return lines;
}

// "[name]" lines open a section.
bool IsSection(const std::string& line, std::string* name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    std::size_t close = t.find(']');
    if (close == std::string::npos) return false;
    if (name) *name = Trim(t.substr(1, close - 1));
    return true;
}

bool KeyOf(const std::string& line, std::string* key, std::string* value) {
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    *key = Trim(line.substr(0, eq));
    if (value) *value = Trim(line.substr(eq + 1));
    return true;
}

// Index range [begin, end) of the section's body, or begin = -1 when it is absent.
void FindSection(const std::vector<std::string>& lines, const char* section, long* header, std::size_t* end) {
    *header = -1;
    *end = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (!IsSection(lines[i], &name)) continue;
        if (*header >= 0) {
            *end = i;
            return;
        }
        if (_stricmp(name.c_str(), section) == 0) *header = static_cast<long>(i);
    }
}
} // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* out,
                               DWORD size, const char* file) {
    if (!out || size == 0) return 0;
    std::string value = defaultValue ? defaultValue : "";
    if (section && key && file) {
        const auto lines = ReadLines(file);
        long header;
        std::size_t end;
        FindSection(lines, section, &header, &end);
        for (std::size_t i = header < 0 ? end : static_cast<std::size_t>(header) + 1; i < end; ++i) {
            std::string k, v;
            if (KeyOf(lines[i], &k, &v) && _stricmp(k.c_str(), key) == 0) {
                // A value in matching quotes is given without them.
                if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                    v = v.substr(1, v.size() - 2);
                value = v;
                break;
            }
        }
    }
    CopyBounded(out, size, value.c_str());
    return static_cast<DWORD>(std::string(out).size());
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* file) {
    if (!section || !file) return FALSE;
    auto lines = ReadLines(file);
    long header;
    std::size_t end;
    FindSection(lines, section, &header, &end);
    if (!key) {
        if (header >= 0) lines.erase(lines.begin() + header, lines.begin() + static_cast<long>(end));
    } else if (header < 0) {
        if (!value) return TRUE;
        lines.push_back(std::string("[") + section + "]");
        lines.push_back(std::string(key) + "=" + value);
    } else {
        bool done = false;
        for (std::size_t i = static_cast<std::size_t>(header) + 1; i < end; ++i) {
            std::string k;
            if (KeyOf(lines[i], &k, nullptr) && _stricmp(k.c_str(), key) == 0) {
                if (value)
                    lines[i] = std::string(key) + "=" + value;
                else
                    lines.erase(lines.begin() + static_cast<long>(i));
                done = true;
                break;
            }
        }
        if (!done && value) {
            // After the section's last non-empty line, so blank separators stay between sections.
            std::size_t at = end;
            while (at > static_cast<std::size_t>(header) + 1 && Trim(lines[at - 1]).empty())
                --at;
            lines.insert(lines.begin() + static_cast<long>(at), std::string(key) + "=" + value);
        }
    }
    std::FILE* fp = crt::fopen(file, "wb");
    if (!fp) return FALSE;
    bool ok = true;
    // Lines are written back whole, with any stray NUL in them: a line is kept as it was.
    for (const auto& l : lines) {
        if (std::fwrite(l.data(), 1, l.size(), fp) != l.size() || std::fwrite("\r\n", 1, 2, fp) != 2)
            ok = false;
    }
    if (std::fclose(fp) != 0) ok = false;
    return ok ? TRUE : FALSE;
}
