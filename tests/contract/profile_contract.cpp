// Profile files: GetPrivateProfileString, GetPrivateProfileInt and
// WritePrivateProfileString on a file's bytes.
#include "contract/contract.h"

namespace contract {

namespace {

// Wine's WritePrivateProfileString writes the whole file anew from what it
// parsed: blank lines go, comments and key lines are normalised, CR LF.
constexpr const char* kWineRewrites = "Wine writes the profile anew";

}  // namespace

void ProfileFiles(Host& host, Report& report) {
    platform::Platform& api = host.api;
    const std::string folder = std::string(Host::kFolder) + "\\PROFILE\\";
    api.CreateDirectory(folder);
    const std::string file = folder + "contract.ini";

    // "-" is the default the caller passed: the section or the key is missing.
    struct ReadRow { const char *content, *section, *key, *value, *wine = nullptr; };
    const ReadRow reads[] = {
        /* 0 */ {"[s]\r\nk=\"v w\"\r\n", "s", "k", "v w"}, {"[s]\r\nk='v w'\r\n", "s", "k", "v w"},
        /* 2 */ {"[s]\r\nk=\" v \"\r\n", "s", "k", " v "}, {"[s]\r\nk=\"v'\r\n", "s", "k", "\"v'"},
        /* 4 */ {"[s]\r\nk=\"\"v\"\"\r\n", "s", "k", "\"v\""}, {"  [ s ]  \r\n\t k \t= \t v w \t\r\n", "s", "k", "v w"},
        /* 6 */ {"[s] ; note\r\nk=v\r\n", " s ", " k ", "v"}, {"[s]\r\n  ;k=v\r\n", "s", ";k", "-", "Wine takes a comment for a key"},
        /* 8 */ {"[SeCtIoN]\r\nKeY=v\r\n", "section", "kEy", "v"}, {"[s]\r\n[t]\r\nk=v\r\n", "s", "k", "-"},
        /* 10 */ {"[s]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n", "s", "k", "1"}, {"[s]\nj=1\nk=v\n", "s", "k", "v"},
        /* 12 */ {"[s]\rj=1\rk=v", "s", "k", "v"}, {"[s]\r\nk\r\nk=a=b\r\n", "s", "k", "a=b", "Wine takes a line without '=' for a key"},
        /* 14 */ {"k=v\r\n[s]\r\n", "s", "k", "-"}, {"[s]\r\nk=v\x1a\r\n", "s", "k", "v"}, {"", "s", "k", "-"},
    };
    for (std::size_t i = 0; i < std::size(reads); ++i) {
        const ReadRow& row = reads[i];
        PutFile(api, file, row.content);
        report.Expect("profile read " + std::to_string(i), api.GetPrivateProfileString(row.section, row.key, "-", file),
                      std::string(row.value), row.wine);
    }
    report.Expect("profile read from a missing file", api.GetPrivateProfileString("s", "k", "-", folder + "none.ini"),
                  std::string("-"));

    // Digits past 32 bits wrap as the 32-bit result does.
    struct IntRow { const char* value; Windows<long long> read; };
    const IntRow ints[] = {
        /* 0 */ {"42A9", 42}, {"B42", 0}, {"+1", {0, 1}}, {"-5", -5}, {"--5", 0}, {"- 5", 0}, {"\"17\"", 17},
        /* 7 */ {" 8 ", 8}, {"2147483648", -2147483647LL - 1}, {"4294967296", 0}, {"4294967297", 1}, {"-4294967297", -1},
        /* 12 */ {"12345678901234567890", -350287150},
    };
    for (std::size_t i = 0; i < std::size(ints); ++i) {
        PutFile(api, file, "[s]\r\nk=" + std::string(ints[i].value) + "\r\n");
        report.Expect("profile int " + std::to_string(i), api.GetPrivateProfileInt("s", "k", 77, file), ints[i].read);
    }
    PutFile(api, file, "[s]\r\nj=5\r\n");
    report.Expect("profile int of a missing key", api.GetPrivateProfileInt("s", "k", 77, file), Windows<long long>(77));

    struct WriteRow { const char *content, *section, *key, *value; Windows<std::string> written; const char* wine; };
    const WriteRow writes[] = {
        /* 0 */ {"[a]\r\nx=1\r\n[b]\r\ny=2\r\n", "a", "k", "v", std::string("[a]\r\nx=1\r\nk=v\r\n[b]\r\ny=2\r\n"), nullptr},
        /* 1 */ {"[a]\r\nx=1\r\n\r\n; c\r\n[b]\r\n", "a", "k", "v", std::string("[a]\r\nx=1\r\nk=v\r\n\r\n; c\r\n[b]\r\n"), kWineRewrites},
        /* 2 */ {"[a]\r\n\r\n[b]\r\n", "a", "k", "v", std::string("[a]\r\nk=v\r\n\r\n[b]\r\n"), kWineRewrites},
        /* 3 */ {"[a]\r\nx=1\r\nlonely\r\n", "a", "k", "v", std::string("[a]\r\nx=1\r\nk=v\r\nlonely\r\n"), kWineRewrites},
        /* 4 */ {"[a]\r\n;k=old\r\n", "a", "k", "v", std::string("[a]\r\nk=v\r\n;k=old\r\n"), kWineRewrites},
        /* 5 */ {"; top\n[a]\n  X = old ; c\nY=2\n", "A", "x", "new", std::string("; top\n[a]\nX=new\nY=2\n"), kWineRewrites},
        /* 6 */ {"[a]\r\nk=\"old\"\r\nk=2\r\n", "a", "k", "3", std::string("[a]\r\nk=3\r\nk=2\r\n"), nullptr},
        /* 7 */ {"[a]\r\n[a]\r\nx=1\r\n", "a", "x", "2", std::string("[a]\r\nx=2\r\n[a]\r\nx=1\r\n"), nullptr},
        /* 8 */ {"[a]\r\nx=1\r\n", "b", "k", "v", {"[a]\r\nx=1\r\n\r\n[b]\r\nk=v\r\n", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"}, nullptr},
        /* 9 */ {"[a]\r\nx=1", "b", "k", "v", {"[a]\r\nx=1\r\n\r\n[b]\r\nk=v\r\n", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"}, nullptr},
        /* 10 */ {"[a]\r\nx=1", "a", "k", "v", std::string("[a]\r\nx=1\r\nk=v\r\n"), nullptr},
        /* 11 */ {"[a]", "a", "k", "v", std::string("[a]\r\nk=v\r\n"), nullptr},
        /* 12 */ {"", "s", "k", "v", std::string("[s]\r\nk=v\r\n"), nullptr},
        /* 13 */ {"[a]\rx=1\r[b]\r", "a", "k", "v", std::string("[a]\rx=1\rk=v\r\n[b]\r"), kWineRewrites},
        /* 14 */ {"[ABC]\r\n", " abc ", "k", "x = y", std::string("[ABC]\r\nk=x = y\r\n"), nullptr},
    };
    for (std::size_t i = 0; i < std::size(writes); ++i) {
        const WriteRow& row = writes[i];
        PutFile(api, file, row.content);
        const bool written = api.WritePrivateProfileString(row.section, row.key, row.value, file);
        report.Expect("profile write " + std::to_string(i), written ? FileBytes(api, file) : "(failed)", row.written, row.wine);
    }
    const std::string created = folder + "created.ini";
    api.WritePrivateProfileString("s", "k", "v", created);
    report.Expect("profile write creates the file", FileBytes(api, created), std::string("[s]\r\nk=v\r\n"));
}

}  // namespace contract
