#include "designer/core/freshness.h"

#include "designer/core/memory_port.h"

void Freshness::inputChanged()
{
    for (design::Field field : computedDesignFields())
        stale.insert(field);
    realizedStale = true;
    changed();
}

void Freshness::written(design::Field field)
{
    if (stale.erase(field))
        changed();
}

void Freshness::realizedComputed()
{
    if (realizedStale) {
        realizedStale = false;
        changed();
    }
}

void Freshness::changed()
{
    if (onChange)
        onChange();
}
