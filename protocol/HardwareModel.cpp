#include "HardwareModel.h"

namespace {
const HardwareModel kModels[] = {
    {1, "Orvex-A1", 2, 0, 1}, {2, "Orvex-A2", 2, 1, 2}, {3, "Orvex-A3", 2, 2, 3},
    {4, "Orvex-A4", 2, 4, 4}, {5, "Orvex-B1", 2, 2, 3},
};
}  // namespace

const HardwareModel* hardwareModel(int code) {
    for (const HardwareModel& model : kModels)
        if (model.code == code) return &model;
    return nullptr;
}

const HardwareModel* routeModel(int routeType) {
    const HardwareModel* model = hardwareModel(routeType);
    return model != nullptr && model->routeType == routeType ? model : nullptr;
}
