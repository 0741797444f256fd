// The base of the suite's dialog components: a component that plays one of
// the system's sounds as its dialog opens.
#pragma once

#include <windows.h>

#include <optional>

#include "framework/core/classes.h"

namespace vexel {

enum TZelBeeptype { bNone, bDefault, bAsterix, bExclamation, bQuestion, bCriticalStop };

// The MessageBeep argument of a sound; none for bNone.
std::optional<UINT> BeepOf(TZelBeeptype Sound);

class TZelDialogComponent : public TComponent {
  public:
    explicit TZelDialogComponent(TComponent* AOwner) : TComponent(AOwner) {}

    TZelBeeptype Sound() const { return sound_; }
    void SetSound(TZelBeeptype Value) { sound_ = Value; }

    // Plays Sound. Dialogs run their own dialog after calling it; this base
    // has none and returns true.
    virtual bool Execute();

  protected:
    ~TZelDialogComponent() override = default;

  private:
    TZelBeeptype sound_ = bNone;
};

}  // namespace vexel
