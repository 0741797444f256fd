// The raw data commands: a bare data string saved from and expanded into the
// job's working string.
#include "engine/compression_job.h"
#include "engine/data_format.h"
#include "engine/errors.h"
#include "engine/file_io.h"

namespace vexel {

void CompressionJob::OpenRawData(const std::string& path) {
    WorkText.clear();
    const std::string data = ReadWholeFile(path);
    try {
        ExpandData(data, Literals::Shifted, WorkText);
    } catch (const DataError& e) {
        throw DataError("Corrupt data in \"" + path + "\": " + e.what());
    }
}

void CompressionJob::SaveRawData(const std::string& path) const {
    WriteFileReplacing(path, WorkText);
}

void CompressionJob::Button4Click() {
    WorkText.clear();
    std::string path;
    if (host_->ChooseFile(FileDialog::Open, path)) {
        OpenRawData(path);
    }
}

void CompressionJob::Button3Click() {
    std::string path;
    if (host_->ChooseFile(FileDialog::Save, path)) {
        SaveRawData(path);
    }
}

}  // namespace vexel
