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

std::vector<std::size_t> PickSamples(const std::vector<int64_t>& sizes) {
    int64_t total = 0;
    for (const int64_t size : sizes) {
        total += std::clamp<int64_t>(size, 0, int64_t{kLongestSample});
    }
    const auto budget = static_cast<int64_t>(kSiteSampleBytes);
    const auto stride = static_cast<std::size_t>(std::max<int64_t>(1, (total + budget - 1) / budget));
    std::vector<std::size_t> picked;
    for (std::size_t i = 0; i < sizes.size(); i += stride) {
        picked.push_back(i);
    }
    return picked;
}

#if VEXEL_HAVE_ZSTD

bool HaveDictionaryTrainer() {
    return true;
}

std::string TrainSiteDictionary(const std::vector<std::string>& samples, std::size_t size) {
    const std::size_t near = size / 2;
    const std::size_t far = size - near;
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
    if (sizes.size() < 8 || flat.size() < 4 * far) {
        return TailOfSamples(samples, size);
    }
    std::string dictionary(far, '\0');
    const std::size_t made = ZDICT_trainFromBuffer(dictionary.data(), dictionary.size(), flat.data(), sizes.data(),
                                                   static_cast<unsigned>(sizes.size()));
    if (ZDICT_isError(made)) {
        return TailOfSamples(samples, size);
    }
    const std::size_t header = ZDICT_getDictHeaderSize(dictionary.data(), made);
    if (ZDICT_isError(header) || header >= made) {
        return TailOfSamples(samples, size);
    }
    return dictionary.substr(header, made - header) + TailOfSamples(samples, near);
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
