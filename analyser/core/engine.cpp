#include "engine.h"

// Placeholder until the engine lands.
Solution ladder(const Model&, double)
{
    return {};
}
