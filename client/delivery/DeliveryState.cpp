#include "DeliveryState.h"

#include "RunContext.h"

DeliveryState& DeliveryOf(RunContext& ctx) {
    if (!ctx.delivery) ctx.delivery = std::make_shared<DeliveryState>();
    return *ctx.delivery;
}
