// Only the shared pointers of qpdf 11, not its older PointerHolder.
#define POINTERHOLDER_TRANSITION 4

#include "report/pdfjoin.h"

#include "report/oserror.h"
#include "report/reporterror.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <QDir>
#include <QSaveFile>

#include <exception>
#include <memory>
#include <vector>

namespace report {

namespace {

// The writer's output into the file being saved; a refused write stops the
// writer.
class SaveFilePipeline : public Pipeline {
public:
    explicit SaveFilePipeline(QSaveFile &file) : Pipeline("kuvertix-pdf", nullptr), m_file(file) {}
    void write(unsigned char const *data, size_t length) override
    {
        if (m_file.write(reinterpret_cast<const char *>(data), qint64(length)) != qint64(length))
            throw std::runtime_error("write failed");
    }
    void finish() override {}

private:
    QSaveFile &m_file;
};

} // namespace

int joinPdfFiles(const QStringList &parts, const QString &fileName)
{
    // The parts' objects are copied lazily: they stay open until the whole
    // file is written.
    std::vector<std::unique_ptr<QPDF>> inputs;
    QPDF joined;
    joined.emptyPDF();
    QPDFPageDocumentHelper pages(joined);
    int count = 0;
    for (const QString &part : parts) {
        auto input = std::make_unique<QPDF>();
        try {
            input->setSuppressWarnings(true);
            input->processFile(QFile::encodeName(part).constData());
            for (QPDFPageObjectHelper &page : QPDFPageDocumentHelper(*input).getAllPages()) {
                pages.addPage(page, false);
                ++count;
            }
        } catch (const std::exception &e) {
            throw ReportError(ReportError::Kind::OutputFailed,
                              QStringLiteral("Не удалось записать файл «%1»: лист %2 не прочитан.")
                                  .arg(QDir::toNativeSeparators(fileName))
                                  .arg(inputs.size() + 1),
                              QString(), QString::fromUtf8(e.what()));
        }
        inputs.push_back(std::move(input));
    }

    // Without commit() the temporary file is removed, also when writing throws.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throwCannotWrite(fileName, file.errorString());
    try {
        SaveFilePipeline pipeline(file);
        QPDFWriter writer(joined);
        writer.setOutputPipeline(&pipeline);
        writer.setStaticID(false);
        writer.write();
    } catch (const std::exception &) {
        throwCannotWrite(fileName, file.errorString());
    }
    commitWhole(file);
    return count;
}

} // namespace report
