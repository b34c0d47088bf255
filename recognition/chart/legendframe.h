#pragma once

#include <vector>

namespace kurvana::chart {

struct InkMap;
struct InkBlob;

/// Finds the boxes drawn round legends and notes: grey hollow rectangles with text inside.
/// Labels their edges as structure and puts back as blobs of their own whatever ink touched
/// an edge (a letter drawn over a box too tight for its text), so that the text inside reads
/// whole and the box is never taken for a character.
void FreeFramedInk(InkMap& map, std::vector<InkBlob>& blobs);

} // namespace kurvana::chart
