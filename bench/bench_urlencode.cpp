// Throughput of the map query encoder in MB/s of UTF-8 input, on ASCII and on Japanese text.
#include "core/MapQueryEncoder.h"

#include <benchmark/benchmark.h>

namespace {

QString repeatTo(const QString &piece, qsizetype units)
{
    QString s;
    while (s.size() < units)
        s += piece;
    return s.left(units);
}

void run(benchmark::State &state, const QString &text)
{
    const auto utf8Bytes = text.toUtf8().size();
    QString out;
    for (auto _ : state) {
        encodeMapQueryValue(text, out);
        benchmark::DoNotOptimize(out.constData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * utf8Bytes);
}

void BM_Ascii(benchmark::State &state)
{
    run(state, repeatTo(QStringLiteral("Tokyo Chiyoda 1-1 Marunouchi Building 23F "), state.range(0)));
}

void BM_Japanese(benchmark::State &state)
{
    run(state,
        repeatTo(QStringLiteral("東京都千代田区丸の内一丁目１番地　丸の内ビル２３階"), state.range(0)));
}

} // namespace

BENCHMARK(BM_Ascii)->Arg(64)->Arg(32767)->Arg(1 << 20);
BENCHMARK(BM_Japanese)->Arg(64)->Arg(32767)->Arg(1 << 20);
BENCHMARK_MAIN();
