#pragma once

#include "runtime/Win32.h"

namespace rt {

// COM for the current thread for the lifetime of the object; balanced
// even when COM was already initialised (S_FALSE).
class ComInit {
public:
    ComInit() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComInit() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    // False when COM runs in another mode on this thread; it is usable then too.
    bool ok() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};

}  // namespace rt
