#include "bench/ImageFacts.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

#include "tests/unit/binary/BinaryRules.h"
#include "tests/unit/binary/PeImage.h"

namespace bench {

ImageFacts ReadImageFacts(const std::wstring& path) {
    ImageFacts facts;
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return facts;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    facts.fileBytes = bytes.size();
    std::string error;
    const std::optional<binary::PeImage> image = binary::PeImage::Parse(std::move(bytes), &error);
    if (!image) return facts;
    facts.imports = image->ImportedDlls();
    facts.delayImports = image->DelayLoadedDlls();
    facts.readable = true;
    return facts;
}

bool ShippedWithEveryWindows(const std::string& dll) {
    std::string lower = dll;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::vector<std::string>& system = binary::SystemDlls();
    return std::find(system.begin(), system.end(), lower) != system.end();
}

}  // namespace bench
