// The information label: every kind of information gives a value of the
// right shape, the caption is always the label text and the value, and the
// registered owner, the lock keys and the paging-file share come from where
// they should.
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>

#include "framework/win32/system_text.h"
#include "system/information_label.h"
#include "tests/framework/win32_test_support.h"

namespace vexel {
namespace {

using testing::FrameworkTest;

class InformationLabel : public FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        label = new TZelInformationLabel(nullptr);
    }
    void TearDown() override {
        label->Free();
        FrameworkTest::TearDown();
    }
    std::string ValueOf(TZelInformation info) {
        label->SetInfoType(info);
        return label->CaptionValue();
    }
    TZelInformationLabel* label = nullptr;
};

bool Matches(const std::string& text, const char* pattern) {
    return std::regex_match(text, std::regex(pattern));
}

long long NumberIn(const std::string& text) {
    return std::stoll(text);
}

std::string TimeText(UINT flags, bool date) {
    char buffer[128] = {};
    if (date)
        GetDateFormatA(LOCALE_USER_DEFAULT, flags, nullptr, nullptr, buffer, sizeof(buffer));
    else
        GetTimeFormatA(LOCALE_USER_DEFAULT, flags, nullptr, nullptr, buffer, sizeof(buffer));
    return buffer;
}

TEST_F(InformationLabel, EveryKindGivesAPlausibleValue) {
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof(memory);
    ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
    long long totalKb = static_cast<long long>(memory.ullTotalPhys / 1024);

    EXPECT_TRUE(Matches(ValueOf(iProgramFilesDir), R"([A-Za-z]:\\.+)")) << label->CaptionValue();
    std::string root = ValueOf(iSystemRoot);
    EXPECT_TRUE(Matches(root, R"([A-Za-z]:\\.+)")) << root;
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(lstrcmpiA(root.c_str(), windows), 0) << root << " is not " << windows;
    EXPECT_TRUE(Matches(ValueOf(iProcessorType),
                        "|Intel 386|Intel 486|Intel Pentium|Intel Pentium II|Intel Pentium III"))
        << label->CaptionValue();
    EXPECT_EQ(ValueOf(iPlatformName), "Windows NT");
    EXPECT_TRUE(Matches(ValueOf(iPlatformVersion), R"([1-9][0-9]*\.[0-9]+)")) << label->CaptionValue();
    EXPECT_TRUE(Matches(ValueOf(iBuildNumber), "[0-9]+")) << label->CaptionValue();
    EXPECT_LT(NumberIn(label->CaptionValue()), 65536);

    std::string total = ValueOf(iTotalPhysicalMemory);
    ASSERT_TRUE(Matches(total, "[0-9]+ KB")) << total;
    EXPECT_EQ(NumberIn(total), totalKb);
    std::string available = ValueOf(iAvailablePhysicalMemory);
    ASSERT_TRUE(Matches(available, "[0-9]+ KB")) << available;
    EXPECT_LE(NumberIn(available), totalKb);
    std::string used = ValueOf(iUsedPhysicalMemory);
    ASSERT_TRUE(Matches(used, "[0-9]+ KB")) << used;
    EXPECT_LE(NumberIn(used), totalKb) << "used memory is physical memory";
    std::string load = ValueOf(iMemoryLoad);
    ASSERT_TRUE(Matches(load, "[0-9]+ Percent")) << load;
    EXPECT_LE(NumberIn(load), 100);

    std::string size = ValueOf(iCurrentDiskSize);
    std::string free = ValueOf(iCurrentDiskFree);
    ASSERT_TRUE(Matches(size, "[0-9]+ MB")) << size;
    ASSERT_TRUE(Matches(free, "[0-9]+ MB")) << free;
    EXPECT_GT(NumberIn(size), 0);
    EXPECT_LE(NumberIn(free), NumberIn(size));

    EXPECT_EQ(ValueOf(iScreenHeight), std::to_string(GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_EQ(ValueOf(iScreenWidth), std::to_string(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_GT(NumberIn(label->CaptionValue()), 0);

    char user[256] = {};
    GetEnvironmentVariableA("USERNAME", user, sizeof(user));
    EXPECT_FALSE(ValueOf(iUserName).empty());
    if (user[0]) {
        EXPECT_EQ(lstrcmpiA(label->CaptionValue().c_str(), user), 0) << label->CaptionValue();
    }
    char computer[256] = {};
    GetEnvironmentVariableA("COMPUTERNAME", computer, sizeof(computer));
    EXPECT_FALSE(ValueOf(iComputerName).empty());
    if (computer[0]) {
        EXPECT_EQ(lstrcmpiA(label->CaptionValue().c_str(), computer), 0) << label->CaptionValue();
    }

    for (TZelInformation key : {iNumLock, iCapsLock, iScrollLock})
        EXPECT_TRUE(Matches(ValueOf(key), "On|Off")) << key;

    std::string settings = ValueOf(iSwapFileSettings);
    std::string swapSize = ValueOf(iSwapFileSize);
    ASSERT_TRUE(Matches(settings, "[0-9]+ KB")) << settings;
    ASSERT_TRUE(Matches(swapSize, "[0-9]+ KB")) << swapSize;
    EXPECT_LE(NumberIn(swapSize), NumberIn(settings));
    std::string usage = ValueOf(iSwapFileUsage);
    ASSERT_TRUE(Matches(usage, "[0-9]+ %")) << usage;
    EXPECT_LE(NumberIn(usage), 100);

    // The time and date in the user's formats: the same text as the system
    // gives for now, taken just before or just after.
    std::string timeBefore = TimeText(0, false);
    std::string time = ValueOf(iCurrentTime);
    std::string timeAfter = TimeText(0, false);
    EXPECT_TRUE(time == timeBefore || time == timeAfter) << time;
    EXPECT_TRUE(Matches(time, ".*[0-9]+.[0-9]{2}.[0-9]{2}.*")) << "hours, minutes and seconds: " << time;
    std::string dateBefore = TimeText(DATE_SHORTDATE, true);
    std::string date = ValueOf(iCurrentDate);
    std::string dateAfter = TimeText(DATE_SHORTDATE, true);
    EXPECT_TRUE(date == dateBefore || date == dateAfter) << date;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_NE(date.find(std::to_string(now.wYear % 100)), std::string::npos) << date;
}

TEST_F(InformationLabel, TheCaptionIsTheLabelTextAndAValueReadFromInfoTypeOnly) {
    label->SetInfoType(iScreenWidth);
    std::string width = std::to_string(GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(label->Caption(), width);
    label->SetCaptionLabel("Width: ");
    EXPECT_EQ(label->Caption(), "Width: " + width);
    label->SetCaptionValue("12345 wrong");
    EXPECT_EQ(label->CaptionValue(), width);
    EXPECT_EQ(label->Caption(), "Width: " + width);
    label->SetInfoType(iPlatformName);
    EXPECT_EQ(label->Caption(), "Width: Windows NT");
}

TEST_F(InformationLabel, LockKeysFollowTheToggleBitOfTheKeyboardState) {
    BYTE saved[256] = {};
    ASSERT_TRUE(GetKeyboardState(saved));
    BYTE state[256];
    memcpy(state, saved, sizeof(state));
    state[VK_CAPITAL] = 0x01;
    state[VK_NUMLOCK] = 0x00;
    state[VK_SCROLL] = 0x01;
    ASSERT_TRUE(SetKeyboardState(state));
    EXPECT_EQ(ValueOf(iCapsLock), "On");
    EXPECT_EQ(ValueOf(iNumLock), "Off");
    EXPECT_EQ(ValueOf(iScrollLock), "On");
    state[VK_CAPITAL] = 0x80;  // held down, not toggled
    state[VK_NUMLOCK] = 0x81;
    SetKeyboardState(state);
    EXPECT_EQ(ValueOf(iCapsLock), "Off");
    EXPECT_EQ(ValueOf(iNumLock), "On");
    SetKeyboardState(saved);
}

constexpr const wchar_t* kWindowsKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const wchar_t* kNtKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// A value of the system's setup keys (UTF-8 here), changed for the test and
// put back afterwards.
class ScopedSetupValue {
  public:
    ScopedSetupValue(const wchar_t* key, const wchar_t* name, const std::string& value) : name_(name) {
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &key_, nullptr);
        wchar_t old[512] = {};
        DWORD size = sizeof(old) - sizeof(wchar_t);
        had_ = RegQueryValueExW(key_, name_, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
               ERROR_SUCCESS;
        old_ = old;
        Set(value);
    }
    ~ScopedSetupValue() {
        if (had_)
            SetWide(old_);
        else
            RegDeleteValueW(key_, name_);
        RegCloseKey(key_);
    }
    bool Set(const std::string& value) { return SetWide(ToSystem(value)); }
    void Remove() { RegDeleteValueW(key_, name_); }

  private:
    bool SetWide(const std::wstring& value) {
        return RegSetValueExW(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

    const wchar_t* name_;
    HKEY key_ = nullptr;
    bool had_ = false;
    std::wstring old_;
};

TEST_F(InformationLabel, TheOwnerComesFromTheSetupKeyOfTheSystem) {
    ScopedSetupValue owner(kWindowsKey, L"RegisteredOwner", "Ada Lovelace");
    // A name beyond the system's code page comes through whole.
    ScopedSetupValue organisation(kWindowsKey, L"RegisteredOrganization",
                                  "M\xC3\xBCller & S\xC3\xB6hne \xE6\x97\xA5\xE6\x9C\xAC");
    ScopedSetupValue ntOwner(kNtKey, L"RegisteredOwner", "Charles Babbage");
    label->SetCaptionLabel("Owner: ");
    label->SetInfoType(iOwnerName);
    EXPECT_EQ(label->Caption(), "Owner: Ada Lovelace");
    EXPECT_EQ(ValueOf(iOrganisationName), "M\xC3\xBCller & S\xC3\xB6hne \xE6\x97\xA5\xE6\x9C\xAC");

    // Systems of the NT line keep it in their own key only: read there when
    // the first key has none.
    owner.Remove();
    EXPECT_EQ(ValueOf(iOwnerName), "Charles Babbage");
}

TEST(SwapFileUsage, TheShareInUseInWholePercents) {
    EXPECT_EQ(SwapFileUsageText(250, 1000), "75 %");
    EXPECT_EQ(SwapFileUsageText(1, 3), "67 %");  // 33.3 % available, cut off to 33
    EXPECT_EQ(SwapFileUsageText(999, 1000), "1 %");
    EXPECT_EQ(SwapFileUsageText(1000, 1000), "0 %");
    EXPECT_EQ(SwapFileUsageText(0, 1000), "100 %");
    EXPECT_EQ(SwapFileUsageText(3ull << 40, 4ull << 40), "25 %");
    EXPECT_EQ(SwapFileUsageText(0, 0), "");
}

}  // namespace
}  // namespace vexel
