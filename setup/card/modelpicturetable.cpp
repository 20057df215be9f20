#include "modelpicturetable.h"

#include <algorithm>
#include <iterator>

namespace {

// Model identifier to the card's pictures in the card image bundle.
constexpr ModelPicturePaths kModelPictures[] = {
    { 0, nullptr, nullptr, nullptr },
};

} // namespace

const ModelPicturePaths* findModelPictures(int64_t modelId)
{
    const auto found = std::find_if(std::begin(kModelPictures), std::end(kModelPictures),
        [modelId](const ModelPicturePaths& row) { return row.image && row.modelId == modelId; });
    return found == std::end(kModelPictures) ? nullptr : found;
}
