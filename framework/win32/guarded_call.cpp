#include "framework/win32/guarded_call.h"

#include <cstdio>
#include <exception>
#include <string>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/system_text.h"

namespace vexel {

namespace {

// The fallback report: standard error for logs and consoles, a message box
// for the person at the screen.
void ReportWithoutApplication(const std::string& Text) {
    std::fprintf(stderr, "Error: %s\n", Text.c_str());
    std::fflush(stderr);
    MessageBoxW(nullptr, ToSystem(Text).c_str(), L"Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

}  // namespace

void HandleCallbackException(TObject* Sender) noexcept {
    try {
        if (Application) {
            Application->HandleException(Sender);
            return;
        }
        try {
            throw;
        } catch (const EAbort&) {
        } catch (const Exception& e) {
            ReportWithoutApplication(e.Message());
        } catch (const std::exception& e) {
            ReportWithoutApplication(e.what());
        } catch (...) {
            ReportWithoutApplication("Unknown exception");
        }
    } catch (...) {
        // The report itself failed (out of memory): nothing is left to tell.
    }
}

}  // namespace vexel
