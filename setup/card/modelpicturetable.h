#pragma once

#include <cstdint>

// Resource paths of the three pictures of one card model.
struct ModelPicturePaths {
    int64_t modelId;
    const char* image;
    const char* thumb;
    const char* listThumb;
};

// The pictures of a model, or null when the model has none.
const ModelPicturePaths* findModelPictures(int64_t modelId);
