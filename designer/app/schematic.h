#pragma once
// The help window's picture: a five-crystal ladder filter between two terminations,
// with the end capacitors Ce, the coupling capacitors Cj and the tuning capacitors Ct.

class QPixmap;

constexpr int kSchematicWidth = 681;
constexpr int kSchematicHeight = 161;

QPixmap drawSchematic();
