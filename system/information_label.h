// The information label: a label that shows one piece of information about
// the computer (its registered owner, memory, disk space, the state of a
// lock key, the time, ...) after a text of its own.
//
//     auto* owner = new TZelInformationLabel(form);
//     owner->SetCaptionLabel("Owner: ");
//     owner->SetInfoType(iOwnerName);  // "Owner: " and the registered owner
#pragma once

#include <cstdint>
#include <string>

#include "framework/win32/labels.h"

namespace vexel {

enum TZelInformation {
    iOrganisationName,
    iOwnerName,
    iProgramFilesDir,
    iSystemRoot,
    iProcessorType,
    iPlatformName,
    iPlatformVersion,
    iBuildNumber,
    iTotalPhysicalMemory,
    iCurrentDiskSize,
    iScreenHeight,
    iScreenWidth,
    iUserName,
    iComputerName,
    iMemoryLoad,
    iAvailablePhysicalMemory,
    iUsedPhysicalMemory,
    iNumLock,
    iCapsLock,
    iScrollLock,
    iCurrentDiskFree,
    iCurrentTime,
    iCurrentDate,
    iSwapFileSettings,
    iSwapFileSize,
    iSwapFileUsage,
};

// The text of Info for this computer at this moment; empty where the system
// does not tell. Sizes are whole units, cut off rather than rounded
// ("1023 KB"); the time and date are in the user's long time and short date
// formats; the key states are "On" or "Off".
std::string InformationValue(TZelInformation Info);

// The share of the paging file in use, "75 %" when a quarter of it is
// available; empty without a paging file.
std::string SwapFileUsageText(uint64_t Available, uint64_t Total);

// Caption is always CaptionLabel followed by CaptionValue. The value is
// read when InfoType is set, and not again by itself: a program that shows
// a changing value (the time, the free memory) sets InfoType again.
class TZelInformationLabel : public TLabel {
  public:
    explicit TZelInformationLabel(TComponent* AOwner);

    TZelInformation InfoType() const { return infoType_; }
    // Reads the value, also when it is the same InfoType.
    void SetInfoType(TZelInformation Value);
    const std::string& CaptionValue() const { return captionValue_; }
    // The value cannot be given: whatever Value is, it is read again from
    // InfoType.
    void SetCaptionValue(const std::string& Value);
    const std::string& CaptionLabel() const { return captionLabel_; }
    void SetCaptionLabel(const std::string& Value);

  protected:
    ~TZelInformationLabel() override = default;
    void Loaded() override;

  private:
    void RefreshCaption();

    TZelInformation infoType_ = iOrganisationName;
    std::string captionValue_;
    std::string captionLabel_;
};

}  // namespace vexel
