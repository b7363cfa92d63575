// gearloft-bench --gif: what filming a save costs (screens/win_gif.h).
#ifndef GEARLOFT_BENCH_GIF_BENCH_H
#define GEARLOFT_BENCH_GIF_BENCH_H

#include <string>
#include <vector>

// Films each save as the win card's G key does and writes it whole into a
// scratch folder; one line per save, then the largest, slowest and median.
// Exit status 0 when every save was filmed to its win and written.
int bench_gifs(const std::vector<std::string>& saves);

#endif
