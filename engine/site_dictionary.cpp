#include "engine/site_dictionary.h"

#include <algorithm>

#if VEXEL_HAVE_ZSTD
#include <zdict.h>
#endif

namespace vexel {

namespace {

// The samples as one text, the last ones last, cut to its last `size` bytes.
std::string TailOfSamples(const std::vector<std::string>& samples, std::size_t size) {
    std::string tail;
    for (auto sample = samples.rbegin(); sample != samples.rend() && tail.size() < size; ++sample) {
        tail.insert(0, *sample);
    }
    if (tail.size() > size) {
        tail.erase(0, tail.size() - size);
    }
    return tail;
}

}  // namespace

#if VEXEL_HAVE_ZSTD

bool HaveDictionaryTrainer() {
    return true;
}

std::string TrainSiteDictionary(const std::vector<std::string>& samples, std::size_t size) {
    std::string flat;
    std::vector<std::size_t> sizes;
    for (const std::string& sample : samples) {
        if (!sample.empty()) {
            flat += sample;
            sizes.push_back(sample.size());
        }
    }
    // Below about a hundred bytes for each byte of dictionary the trainer has
    // too little to choose from: the pages themselves serve better.
    if (sizes.size() < 8 || flat.size() < 4 * size) {
        return TailOfSamples(samples, size);
    }
    std::string dictionary(size, '\0');
    const std::size_t made = ZDICT_trainFromBuffer(dictionary.data(), dictionary.size(), flat.data(), sizes.data(),
                                                   static_cast<unsigned>(sizes.size()));
    if (ZDICT_isError(made)) {
        return TailOfSamples(samples, size);
    }
    const std::size_t header = ZDICT_getDictHeaderSize(dictionary.data(), made);
    if (ZDICT_isError(header) || header >= made) {
        return TailOfSamples(samples, size);
    }
    return dictionary.substr(header, made - header);
}

#else

bool HaveDictionaryTrainer() {
    return false;
}

std::string TrainSiteDictionary(const std::vector<std::string>& samples, std::size_t size) {
    return TailOfSamples(samples, size);
}

#endif

}  // namespace vexel
