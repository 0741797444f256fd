#include "engine/raw_data.h"

#include "engine/data_format.h"
#include "engine/errors.h"
#include "engine/file_io.h"

namespace vexel {

void OpenRawData(const std::string& path, std::string& text) {
    text.clear();
    const std::string data = ReadWholeFile(path);
    try {
        ExpandData(data, Literals::Shifted, text);
    } catch (const DataError& e) {
        throw DataError("Corrupt data in \"" + path + "\": " + e.what());
    }
}

void SaveRawData(const std::string& path, const std::string& text) {
    WriteFileReplacing(path, text);
}

}  // namespace vexel
