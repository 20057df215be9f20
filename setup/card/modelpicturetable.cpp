#include "modelpicturetable.h"

#include <algorithm>
#include <iterator>

namespace {

// Model identifier to the card's pictures in the card image bundle: the
// gallery picture, the thumbnail and the list view's thumbnail.
constexpr ModelPicturePaths kModelPictures[] = {
    { 61, ":/MeridianCard", ":/MeridianCardThumb", ":/MeridianCardListThumb" },
    { 64, ":/DuoLinkCard", ":/DuoLinkCardThumb", ":/DuoLinkCardListThumb" },
    { 67, ":/BeaconPlayCard", ":/BeaconPlayCardThumb", ":/BeaconPlayCardListThumb" },
    { 71, ":/QuartetCard", ":/QuartetCardThumb", ":/QuartetCardListThumb" },
    { 72, ":/DeckhandCard", ":/DeckhandCardThumb", ":/DeckhandCardListThumb" },
    { 73, ":/PocketCaptureCard", ":/PocketCaptureCardThumb", ":/PocketCaptureCardListThumb" },
    { 76, ":/AtlasCard", ":/AtlasCardThumb", ":/AtlasCardListThumb" },
    { 77, ":/PrismAnalogCard", ":/PrismAnalogCardThumb", ":/PrismAnalogCardListThumb" },
    { 78, ":/KeystoneCard", ":/KeystoneCardThumb", ":/KeystoneCardListThumb" },
};

} // namespace

const ModelPicturePaths* findModelPictures(int64_t modelId)
{
    const auto found = std::find_if(std::begin(kModelPictures), std::end(kModelPictures),
        [modelId](const ModelPicturePaths& row) { return row.modelId == modelId; });
    return found == std::end(kModelPictures) ? nullptr : found;
}
