#pragma once
// One machine-readable line per scenario, for scripts/bench.sh to gather into
// its table; the human figures above it stay as they are. Tab-separated
// key=value fields, so a value may hold blanks.
#include <algorithm>
#include <cstdio>
#include <vector>

/// The best of several rounds.
inline double Mejor(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

/// The middle of several rounds (the upper one of an even count).
inline double Mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

/// `objetivo` is "<=1.5x" or "<3x" (the ratio), "<50ms" (the time itself),
/// "<=20st" (the statements the server received, given in `sentencias`) or
/// "report" (figures only); `piso` empty when nothing is compared; `nota`
/// goes to the table's last column.
inline void Resultado(const char* escenario, const char* tamano, double ms, const char* piso, double pisoMs, const char* objetivo,
                      const char* nota = "", long long sentencias = -1)
{
    std::printf("RESULT\tscenario=%s\tsize=%s\ttime_ms=%.1f\tfloor=%s\tfloor_ms=%.1f\tratio=%.2f\ttarget=%s\tnote=%s",
                escenario, tamano, ms, piso, pisoMs, pisoMs > 0 ? ms / pisoMs : 0.0, objetivo, nota);
    if (sentencias >= 0) std::printf("\tstatements=%lld", sentencias);
    std::printf("\n");
    std::fflush(stdout);
}
