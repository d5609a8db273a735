// C run-time streams: text-mode reading of CR LF, LF and CR lines, Ctrl-Z,
// what ftell answers after each read, writes and updates as stored.
#include "contract/contract.h"

#include <cstdio>

namespace contract {

namespace {

using namespace platform;

constexpr const char* kWineCtrlZ = "Wine's run-time keeps the Ctrl-Z that ends a file opened for update";

std::string Repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// Tell before the first read and after every fgets, up to the one that
// fails or the count of reads.
std::string Tells(Platform& api, const std::string& file, const char* mode, std::size_t maxChars, int count) {
    const auto stream = api.fopen(file, mode);
    if (!stream) return "(none)";
    std::string tells = std::to_string(stream->Tell());
    for (int reads = 0; reads < count; ++reads) {
        const bool read = stream->Gets(maxChars).has_value();
        tells += " " + std::to_string(stream->Tell());
        if (!read) break;
    }
    return tells;
}

void Reading(Platform& api, const std::string& file, Report& report) {
    struct ReadRow { std::string stored; const char* mode; std::string read; };
    const ReadRow reads[] = {
        /* 0 */ {"a\r\nb\r\n", "r", "a\nb\n"}, {"a\r\nb\r\n", "rb", "a\r\nb\r\n"}, {"a\rb", "r", "a\rb"},
        /* 3 */ {"a\r\r\nb", "r", "a\r\nb"}, {"a\r", "r", "a\r"}, {"ab\x1A" "cd", "r", "ab"}, {"ab\x1A" "cd", "rb", "ab\x1A" "cd"},
        /* 7 */ {"a\nb", "rt", "a\nb"}, {std::string("a\0b", 3), "r", std::string("a\0b", 3)},
    };
    for (std::size_t i = 0; i < std::size(reads); ++i) {
        PutFile(api, file, reads[i].stored);
        const auto stream = api.fopen(file, reads[i].mode);
        report.Expect("stream read " + std::to_string(i), stream ? stream->Read(100) : "(none)", reads[i].read);
    }

    // What ftell answers: exact in binary mode and over CR LF lines; over
    // LF lines it counts a CR for every LF the buffer holds.
    struct TellRow { std::string stored; const char* mode; std::size_t maxChars; const char* tells; const char* wine = nullptr; int reads = 16; };
    const TellRow tells[] = {
        /* 0 */ {"a\r\nb\r\n", "r", 1024, "0 3 6 6", nullptr},
        /* 1 */ {"a\nb\n", "r", 1024, "0 1 4 4", nullptr},
        /* 2 */ {"a\nb\n", "rb", 1024, "0 2 4 4", nullptr},
        /* 3 */ {"a\nb\n", "r+", 1024, "0 1 4 4", nullptr},
        /* 4 */ {"\n\n\n\n", "r", 2, "0 -2 0 2 4 4", nullptr},
        /* 5 */ {"a\rb\r", "r", 1024, "0 4 4", nullptr},
        /* 6 */ {"ab\r\ncd\r\n\x1A", "r", 1024, "0 4 9 9", "Wine's ftell leaves out the Ctrl-Z that ended the buffer"},
        /* 7 */ {"ab\x1A" "cd", "r", 1024, "0 5 5", nullptr},  // past a Ctrl-Z: the true end
        /* 8 */ {Repeated("x\n", 2500), "r", 1024, "0 3 6 9", nullptr, 3},  // short of the end: a full buffer is assumed
        /* 9 */ {Repeated("x\r\n", 1667), "r", 1024, "0 3 6 9", nullptr, 3},
    };
    for (std::size_t i = 0; i < std::size(tells); ++i) {
        const TellRow& row = tells[i];
        PutFile(api, file, row.stored);
        report.Expect("stream tell " + std::to_string(i), Tells(api, file, row.mode, row.maxChars, row.reads), std::string(row.tells), row.wine);
    }

    PutFile(api, file, "abcdefghij\r\nxy\r\n\r\nlast");
    std::string pieces;
    if (const auto stream = api.fopen(file, "r")) {
        while (const auto piece = stream->Gets(5)) pieces += *piece + "|";
        pieces += stream->Eof() ? "eof" : "no eof";
    }
    report.Expect("stream pieces", pieces, std::string("abcd|efgh|ij\n|xy\n|\n|last|eof"));
    PutFile(api, file, std::string("a\0b\nc", 5));
    if (const auto stream = api.fopen(file, "r")) {
        report.Expect("stream line with a NUL", stream->Gets(1024).value_or("(none)"), std::string("a\0b\n", 4));
        report.Expect("stream room for the terminator only", stream->Gets(1).value_or("(none)"), std::string(""),
                      "Wine's fgets answers NULL when only the terminator fits");
        report.Expect("stream no room", stream->Gets(0).value_or("(none)"), std::string("(none)"));
    }
}

void Writing(Platform& api, const std::string& file, Report& report) {
    // held: the file before the flush, when it is not `before`.
    struct WriteRow { std::string before; const char* mode; long long seek; int origin; const char* written; std::string stored; const char* wine; const char* held = nullptr; };
    const WriteRow writes[] = {
        /* 0 */ {"abc\r\n", "w", 0, SEEK_SET, "a\nb\n", "a\r\nb\r\n", nullptr, ""},  // emptied at once
        /* 1 */ {"abc\r\n", "wb", 0, SEEK_SET, "a\nb\n", "a\nb\n", nullptr, ""},
        /* 2 */ {"abc\r\n", "r+", 0, SEEK_END, "z\n", "abc\r\nz\r\n", nullptr},
        /* 3 */ {"abc\r\n", "r+b", 2, SEEK_END, "z", std::string("abc\r\n\0\0z", 8), nullptr},
        /* 4 */ {"abc\r\n", "r+b", 1, SEEK_SET, "XYZWV", "aXYZWV", nullptr},
        /* 5 */ {"abc\r\n", "a", 0, SEEK_SET, "z", "abc\r\nz", nullptr},
        /* 6 */ {"abc\r\n", "a+b", 1, SEEK_SET, "z", "abc\r\nz", nullptr},
        /* 7 */ {"[C]\r\nK,0\r\nL,0\r\n", "r+", 7, SEEK_SET, "1", "[C]\r\nK,1\r\nL,0\r\n", nullptr},  // an edit in place
        /* 8 */ {"a\r\n\x1A", "a+", 0, SEEK_SET, "b\n", "a\r\nb\r\n", kWineCtrlZ, "a\r\n"},
        /* 9 */ {"a\r\n\x1A", "r+", 0, SEEK_SET, "", "a\r\n", kWineCtrlZ, "a\r\n"},
        /* 10 */ {"a\x1A", "a", 0, SEEK_SET, "b", "a\x1A" "b", nullptr},
    };
    for (std::size_t i = 0; i < std::size(writes); ++i) {
        const WriteRow& row = writes[i];
        PutFile(api, file, row.before);
        std::string stored = "(none)";
        if (const auto stream = api.fopen(file, row.mode)) {
            const bool done = stream->Seek(row.seek, row.origin) && stream->Write(row.written);
            const std::string beforeFlush = FileBytes(api, file);
            stored = done && stream->Flush() ? FileBytes(api, file) : "(failed)";
            // Until the flush the bytes wait in the buffer.
            report.Expect("stream held " + std::to_string(i), beforeFlush, row.held ? std::string(row.held) : row.before, row.wine);
        }
        report.Expect("stream stored " + std::to_string(i), stored, row.stored, row.wine);
    }
    PutFile(api, file, "abc");
    if (const auto stream = api.fopen(file, "r+b")) {
        report.Expect("stream seek before the start", stream->Seek(-1, SEEK_SET), Windows<long long>(0));
        report.Expect("stream tell after it", stream->Tell(), Windows<long long>(0));
    }
    report.Expect("stream of a missing file", api.fopen(std::string(Host::kFolder) + "\\missing.txt", "r") ? 1 : 0, Windows<long long>(0));
}

}  // namespace

void Streams(Host& host, Report& report) {
    const std::string folder = std::string(Host::kFolder) + "\\STREAM\\";
    host.api.CreateDirectory(folder);
    Reading(host.api, folder + "s.txt", report);
    Writing(host.api, folder + "s.txt", report);
}

}  // namespace contract
