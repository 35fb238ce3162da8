// Replays every file of a committed fuzz corpus (KUVERTIX_FUZZ_CORPUS)
// through the fuzz target's entry function once, as a plain test built by
// the usual compiler: an input that crashes, hangs or breaks an invariant
// (the target aborts) fails it, and so does an empty corpus.

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
// Defined only by targets that set something up first.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    const QDir corpus(QStringLiteral(KUVERTIX_FUZZ_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        std::fprintf(stderr, "FAIL: no inputs in %s\n", KUVERTIX_FUZZ_CORPUS);
        return 1;
    }
    for (const QString &name : names) {
        QFile file(corpus.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "FAIL: %s cannot be read\n", qPrintable(file.fileName()));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        std::printf("input %s (%lld bytes)\n", qPrintable(name), static_cast<long long>(bytes.size()));
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size()));
    }
    std::printf("PASS: %lld inputs of %s\n", static_cast<long long>(names.size()), KUVERTIX_FUZZ_CORPUS);
    return 0;
}
