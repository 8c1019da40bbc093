// analyzeRead() on a serial read of N bytes, full text included: a GS1 DataMatrix
// marking code (]d2, 01, 21, GS 91, GS 92) with its fields repeated after a GS up
// to N bytes, then CR, a byte every 87 µs (115,200 baud); the median of 20:
//   bench: read_analysis bytes=<N> us=<x>

#include "benchsupport.h"
#include "analysis/readanalysis.h"

#include <cstdio>

int readAnalysis(const QStringList &arguments)
{
    const qsizetype bytes = bench::number(arguments, QStringLiteral("--bytes"));
    const QByteArray fields = "0104600439931256"
                              "21aB3&kx9Lm2Qz7"
                              "\x1d"
                              "91EE06"
                              "\x1d"
                              "92dGVzdGNvZGVzdGNvZGVzdGNvZGVzdGNvZGVzdGNvZGVzdGM=";
    QByteArray codes = "]d2" + fields;
    while (codes.size() < bytes - 1)
        codes += '\x1d' + fields;
    codes.truncate(bytes - 1);
    codes += '\r';
    QList<qint64> micros;
    for (qsizetype i = 0; i < codes.size(); ++i)
        micros.append(i * 87);
    qsizetype length = 0;
    const auto analyze
        = [&] { length = analyzeRead(codes, micros, ReadMode::Serial).fullText.size(); };
    const double us = bench::quantile(bench::timesMicros(20, analyze), 0.5);
    std::printf("bench: read_analysis bytes=%lld us=%.0f\n", static_cast<long long>(bytes), us);
    return length > 0 ? 0 : 1;
}
