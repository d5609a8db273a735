// Shows one of setup.exe's dialogs on the real Win32 backend, with the
// program's resources, and writes how it ended to a file:
//
//   dialog_runner.exe driver-type 0|1 [--out FILE]  DriverTypeDialog with that
//                                                   initial answer
//   dialog_runner.exe about [--out FILE]            AboutDialog
//   dialog_runner.exe show ID [--out FILE]          dialog ID with no behaviour
//                                                   of its own
//
// The line written: "result=N" (what the modal show returned), " answer=N"
// for driver-type, then where the dialog stood when OK or Cancel closed it
// and the work area it was placed in: " window=L,T,R,B area=L,T,R,B".
// Exit codes: 0 the dialog was shown (and the line written), 2 bad usage,
// 3 the file could not be written.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "maindialog/about_dialog.h"
#include "maindialog/driver_type_dialog.h"
#include "platform/win32/win32_platform.h"

namespace {

struct Request {
    std::string command;
    std::vector<std::string> operands;
    std::string out;
};

std::optional<Request> ParseArguments(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    Request request;
    request.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--out") {
            if (++i == argc) return std::nullopt;
            request.out = argv[i];
        } else {
            request.operands.push_back(argument);
        }
    }
    return request;
}

// The decimal resource id `text` is, if it is one.
std::optional<int> ResourceId(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < 1 || value > 0xFFFF) return std::nullopt;
    return static_cast<int>(value);
}

std::string Corners(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

// A dialog's behaviour, unchanged, that also notes where its window stood
// when OK or Cancel closed it.
template <class Behaviour>
class Placed final : public Behaviour {
public:
    using Behaviour::Behaviour;

    void OnOk(platform::DialogWindow& window) override {
        Note(window);
        Behaviour::OnOk(window);
    }
    void OnCancel(platform::DialogWindow& window) override {
        Note(window);
        Behaviour::OnCancel(window);
    }
    const std::string& placement() const { return placement_; }

private:
    void Note(platform::DialogWindow& window) {
        RECT own{};
        RECT area{};
        GetWindowRect(reinterpret_cast<HWND>(window.Handle()), &own);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        placement_ = " window=" + Corners(own) + " area=" + Corners(area);
    }

    std::string placement_;
};

// The line to report, or nothing when the request is malformed.
std::optional<std::string> Run(platform::win32::Win32Platform& platform, const Request& request) {
    const std::vector<std::string>& operands = request.operands;
    if (request.command == "driver-type" && operands.size() == 1 && (operands[0] == "0" || operands[0] == "1")) {
        Placed<setup::DriverTypeDialog> dialog(platform, 0);
        dialog.SetAnswer(operands[0] == "1" ? 1 : 0);
        const int result = dialog.DoModal();
        return "result=" + std::to_string(result) + " answer=" + std::to_string(dialog.Answer()) + dialog.placement();
    }
    if (request.command == "about" && operands.empty()) {
        Placed<setup::AboutDialog> dialog(platform, 0);
        const int result = dialog.DoModal();
        return "result=" + std::to_string(result) + dialog.placement();
    }
    if (request.command == "show" && operands.size() == 1 && ResourceId(operands[0])) {
        Placed<platform::DialogHandler> dialog;
        const int result = platform.DialogBox(*ResourceId(operands[0]), 0, dialog);
        return "result=" + std::to_string(result) + dialog.placement();
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Request> request = ParseArguments(argc, argv);
    if (!request) return 2;
    platform::win32::Win32Platform platform;
    const std::optional<std::string> line = Run(platform, *request);
    if (!line) return 2;
    if (request->out.empty()) return 0;
    std::FILE* out = std::fopen(request->out.c_str(), "wb");
    if (out == nullptr) return 3;
    const bool written = std::fprintf(out, "%s\r\n", line->c_str()) > 0;
    return std::fclose(out) == 0 && written ? 0 : 3;
}
