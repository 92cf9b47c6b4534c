#pragma once
// Makes the whole pages of a stretch of fresh memory present a few
// megabytes per call: on this kind of machine a page fault per page costs
// many times more than the pages made present together. Memory the caller
// is about to fill anyway; nothing is written, and a system that cannot do
// it leaves the pages to be faulted in as before. The whole huge pages of the
// stretch are asked for as such first.
#include <cstddef>

void PopulatePages(void* begin, size_t bytes);
