// The contract of the platform interface: what Windows answers, one table
// per family of operations, one row a case, with a 9x and an NT answer
// where the two differ. The same rows run against the virtual machine (a 9x
// and an NT machine) and against the Win32 backend under Wine, so that
// setupsim predicts what setup.exe does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace contract {

enum class System { Win9x, Nt };

// What a backend offers the rows beyond the interface.
class Host {
public:
    Host(platform::Platform& api, System system, bool wine) : api(api), system(system), wine(wine) {}
    virtual ~Host() = default;
    // No call of the interface creates a key: the rows' keys come from here.
    virtual void CreateKey(platform::HKey root, const std::string& path) = 0;

    platform::Platform& api;
    const System system;
    const bool wine;  // the Win32 backend under Wine
    // Empty folders on drive C:, made with the interface's own CreateDirectory.
    static constexpr const char* kFolder = "C:\\CONTRACT";
    static constexpr const char* kKey = "Software\\OvContract";  // under HKEY_CURRENT_USER
};

// What Windows answers: one value on both families, or the 9x one and the NT one.
template <class T>
struct Windows {
    Windows(T both) : win9x(both), nt(both) {}  // NOLINT: a row's plain value is both answers
    Windows(T win9x, T nt) : win9x(std::move(win9x)), nt(std::move(nt)) {}
    T win9x, nt;
};

// A string as the journal shows a value; a number.
std::string Shown(const std::string& bytes);
inline std::string Shown(long long number) { return std::to_string(number); }

// Holds each row's answer against Windows'. `wineDiffers` names how Wine
// itself departs from Windows there: the row is skipped under Wine.
class Report {
public:
    explicit Report(const Host& host) : host_(host) {}
    void Expect(const std::string& row, const std::string& actual, const Windows<std::string>& expected, const char* wineDiffers = nullptr) {
        Check(row, actual, expected, wineDiffers);
    }
    void Expect(const std::string& row, long long actual, const Windows<long long>& expected, const char* wineDiffers = nullptr) {
        Check(row, actual, expected, wineDiffers);
    }
    const std::vector<std::string>& Failures() const { return failures_; }
    int Checked() const { return checked_; }

private:
    template <class T>
    void Check(const std::string& row, const T& actual, const Windows<T>& expected, const char* wineDiffers) {
        if (host_.wine && wineDiffers) return;
        ++checked_;
        const bool nt = host_.system == System::Nt;
        const T& wanted = nt ? expected.nt : expected.win9x;
        if (actual == wanted) return;
        failures_.push_back(row + ": Windows " + (nt ? "NT" : "9x") + " answers " + Shown(wanted) + ", this backend " + Shown(actual));
    }
    const Host& host_;
    std::vector<std::string> failures_;
    int checked_ = 0;
};

// The file's bytes written and read back with the interface's own streams
// in binary mode; "(none)" for a file that cannot be opened.
void PutFile(platform::Platform& api, const std::string& path, const std::string& bytes);
std::string FileBytes(platform::Platform& api, const std::string& path);

// The families. Each starts from an empty folder or key and leaves them so.
void ProfileFiles(Host& host, Report& report);
void Registry(Host& host, Report& report);
void FilesAndSearches(Host& host, Report& report);
void Streams(Host& host, Report& report);

// Every family; the failures, each a line naming the family and its row.
std::vector<std::string> RunAll(Host& host, int* checked = nullptr);

}  // namespace contract
