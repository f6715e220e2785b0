#include "server_trace.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string_view>

namespace e2e {

namespace {

// Server ids and handles are printed as hexadecimal numbers.
unsigned hexNumber(std::string_view text) {
    return static_cast<unsigned>(std::strtoul(std::string(text).c_str(), nullptr, 16));
}

std::wstring widened(std::string_view text) {
    return std::wstring(text.begin(), text.end());
}

// The text of "name=value" up to the next ',', ' ' or '}'.
std::optional<std::string_view> field(std::string_view line, std::string_view name) {
    const std::string key = std::string(name) + "=";
    std::size_t at = line.find(key);
    while (at != std::string_view::npos && at > 0 && line[at - 1] != ' ' && line[at - 1] != ',' &&
           line[at - 1] != '{') {
        at = line.find(key, at + 1);
    }
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t start = at + key.size();
    const std::size_t end = line.find_first_of(", }", start);
    return line.substr(start, end == std::string_view::npos ? end : end - start);
}

// The braced group that starts at the '{' at position open, braces included.
std::string_view braced(std::string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == '{') {
            ++depth;
        } else if (text[i] == '}' && --depth == 0) {
            return text.substr(open, i - open + 1);
        }
    }
    return text.substr(open);
}

struct Descriptor {
    unsigned control = 0;
    std::vector<TracedEntry> dacl;
};

// "sd={control=...,dacl={{type=...,flags=...,mask=...,sid=...},...}}".
Descriptor descriptorOf(std::string_view line) {
    Descriptor descriptor;
    const std::size_t sd = line.find("sd={");
    if (sd == std::string_view::npos) {
        return descriptor;
    }
    const std::string_view text = braced(line, sd + 3);
    descriptor.control = hexNumber(field(text, "control").value_or("0"));
    const std::size_t dacl = text.find("dacl={");
    if (dacl == std::string_view::npos) {
        return descriptor;
    }
    const std::string_view list = braced(text, dacl + 5);
    for (std::size_t open = list.find('{', 1); open != std::string_view::npos;) {
        const std::string_view entry = braced(list, open);
        descriptor.dacl.push_back({widened(field(entry, "type").value_or("")),
                                   hexNumber(field(entry, "flags").value_or("0")),
                                   hexNumber(field(entry, "mask").value_or("0")),
                                   widened(field(entry, "sid").value_or(""))});
        open = list.find('{', open + entry.size());
    }
    return descriptor;
}

// The object name of a create_file request, "\??\C:\..." turned into "C:\...".
std::wstring objectName(std::string_view line) {
    const std::size_t start = line.find("name=L\"");
    if (start == std::string_view::npos) {
        return {};
    }
    std::wstring name;
    for (std::size_t i = start + 7; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i; // the trace escapes backslashes
        }
        name += static_cast<wchar_t>(static_cast<unsigned char>(line[i]));
    }
    const std::wstring prefix = L"\\??\\";
    return name.starts_with(prefix) ? name.substr(prefix.size()) : name;
}

// Follows the requests of one process: its threads, what its handles name,
// what it read and wrote.
class Reader {
public:
    explicit Reader(unsigned processId)
        : processId_(processId) {}

    void line(std::string_view text) {
        const std::size_t colon = text.find(": ");
        if (colon == std::string_view::npos || colon > 8) {
            return;
        }
        const unsigned thread = hexNumber(text.substr(0, colon));
        const std::string_view request = text.substr(colon + 2);
        if (request.starts_with("init_first_thread() = 0 ") &&
            hexNumber(field(request, "pid").value_or("0")) == processId_) {
            threads_.insert(hexNumber(field(request, "tid").value_or("0")));
        }
        if (threads_.count(thread) > 0) {
            ofThread(thread, request);
        }
    }

    std::vector<DaclWrite> writes() && { return std::move(writes_); }
    std::vector<CreatedWithDacl> creations() && { return std::move(creations_); }

private:
    void ofThread(unsigned thread, std::string_view request) {
        if (request.starts_with("new_thread( process=ffffffff")) {
            pending_[thread] = L"(thread)";
        } else if (request.starts_with("new_thread() = 0 ") && pending_[thread] == L"(thread)") {
            threads_.insert(hexNumber(field(request, "tid").value_or("0")));
        } else if (request.starts_with("create_file( ")) {
            pending_[thread] = objectName(request);
            if (request.find("sd={control=") != std::string_view::npos) {
                const Descriptor given = descriptorOf(request);
                creations_.push_back({pending_[thread], given.control, given.dacl});
            }
        } else if (request.starts_with("create_file() = 0 ")) {
            handles_[hexNumber(field(request, "handle").value_or("0"))] = pending_[thread];
        } else if (request.starts_with("get_security_object( ")) {
            pending_[thread] = handles_[hexNumber(field(request, "handle").value_or("0"))];
        } else if (request.starts_with("get_security_object() = 0 ")) {
            reads_[pending_[thread]] = descriptorOf(request);
        } else if (request.starts_with("set_security_object( ")) {
            const std::wstring path = handles_[hexNumber(field(request, "handle").value_or("0"))];
            const Descriptor written = descriptorOf(request);
            DaclWrite write{path, reads_.count(path) > 0, 0, {}, written.control, written.dacl};
            if (write.readBefore) {
                write.controlBefore = reads_[path].control;
                write.before = reads_[path].dacl;
            }
            writes_.push_back(std::move(write));
        }
    }

    unsigned processId_;
    std::set<unsigned> threads_;
    std::map<unsigned, std::wstring> pending_; // per thread: the name its request is about
    std::map<unsigned, std::wstring> handles_; // the names the process's handles were opened by
    std::map<std::wstring, Descriptor> reads_; // the last descriptor read per name
    std::vector<DaclWrite> writes_;
    std::vector<CreatedWithDacl> creations_;
};

// The trace read for the process.
Reader readTrace(const std::wstring& traceFile, DWORD processId) {
    std::ifstream trace{std::filesystem::path(traceFile)};
    Reader reader(processId);
    for (std::string text; std::getline(trace, text);) {
        reader.line(text);
    }
    return reader;
}

} // namespace

void PrintTo(const TracedEntry& entry, std::ostream* out) {
    *out << std::string(entry.type.begin(), entry.type.end()) << " flags " << std::hex
         << entry.flags << " mask " << entry.mask << std::dec << " "
         << std::string(entry.sid.begin(), entry.sid.end());
}

std::wstring serverTracePath() {
    const char* trace = std::getenv("KV_SERVER_TRACE");
    if (trace == nullptr || *trace == '\0') {
        return {};
    }
    std::wstring path = L"Z:" + widened(trace);
    for (wchar_t& c : path) {
        c = c == L'/' ? L'\\' : c;
    }
    return path;
}

std::vector<DaclWrite> daclWrites(const std::wstring& traceFile, DWORD processId) {
    return readTrace(traceFile, processId).writes();
}

std::vector<CreatedWithDacl> creationsWithDacl(const std::wstring& traceFile, DWORD processId) {
    return readTrace(traceFile, processId).creations();
}

} // namespace e2e
