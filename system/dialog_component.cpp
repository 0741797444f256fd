#include "system/dialog_component.h"

namespace vexel {

std::optional<UINT> BeepOf(TZelBeeptype Sound) {
    switch (Sound) {
        case bNone:
            return std::nullopt;
        case bDefault:
            return 0u;
        case bAsterix:
            return static_cast<UINT>(MB_ICONASTERISK);
        case bExclamation:
            return static_cast<UINT>(MB_ICONEXCLAMATION);
        case bQuestion:
            return static_cast<UINT>(MB_ICONQUESTION);
        case bCriticalStop:
            return static_cast<UINT>(MB_ICONHAND);
    }
    return std::nullopt;
}

bool TZelDialogComponent::Execute() {
    if (std::optional<UINT> beep = BeepOf(sound_))
        MessageBeep(*beep);
    return true;
}

}  // namespace vexel
