// A hidden message-only window whose messages go to a function: for timers
// and posted messages of objects that have no window of their own.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/core/classes.h"

namespace vexel {

// An exception thrown by the function goes through the guarded edge
// (guarded_call.h) with Sender named as its source.
class TUtilityWindow {
public:
    using THandler = std::function<LRESULT(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)>;
    explicit TUtilityWindow(THandler Handler, TObject* Sender = nullptr);
    ~TUtilityWindow();
    TUtilityWindow(const TUtilityWindow&) = delete;
    TUtilityWindow& operator=(const TUtilityWindow&) = delete;
    HWND Handle() const { return handle_; }

private:
    static LRESULT CALLBACK WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    THandler handler_;
    TObject* sender_;
    HWND handle_ = nullptr;
};

}  // namespace vexel
