// A tiny library the tests load to see which copy the search found.
extern "C" int ProbeValue() { return PROBE_VALUE; }
