// Profile (INI) files for systems without the platform's profile functions,
// read and written the way those functions do it: [section] and key=value
// lines, names compared without regard to case and with the blanks around
// them ignored, values without their surrounding blanks and quotes. A write
// changes only the line it concerns and keeps every other line as it was.
#pragma once

#include <string>

#include "system/store_media.h"

namespace vexel {

class TPortableProfiles : public TProfileMedium {
public:
    // WindowsFolder: where a file name without a folder is looked for.
    explicit TPortableProfiles(std::string WindowsFolder);

    std::string ReadString(const std::string& FileName,
                           const std::string& Section,
                           const std::string& Key,
                           const std::string& Default,
                           size_t BufferSize) override;
    bool WriteString(const std::string& FileName,
                     const std::string& Section,
                     const std::string& Key,
                     const std::string& Value) override;
    std::string WindowsFolder() override { return windowsFolder_; }

    // The file a name stands for: a bare name lies in the Windows folder,
    // anything else is taken from the current folder.
    std::string ResolveName(const std::string& FileName) const;

private:
    std::string windowsFolder_;
};

}  // namespace vexel
