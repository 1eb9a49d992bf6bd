#pragma once
// Axes a person reads at a glance: ticks at round values (1, 2 or 5 times a power of ten)
// and whole numbers on count axes, instead of an axis cut into equal but odd parts.

class QValueAxis;

namespace desktop {

// The round step that cuts a span into about `parts` parts (at least 1 part): 1, 2 or 5
// times a power of ten. 1 for a span that is 0 or not finite.
double roundStep(double span, int parts);

// Decimals that show every tick of that step exactly: 0 for a step of 1 or more.
int stepDecimals(double step);

// [min, max] on `axis`, ticks at the multiples of a round step, labels with the decimals the
// step needs.
void setRoundTicks(QValueAxis& axis, double min, double max, int parts = 6);

// An axis of counts from 0 to at least `largest`: whole-number ticks, at most about `parts`.
void setCountTicks(QValueAxis& axis, double largest, int parts = 6);

}  // namespace desktop
