#include "UploadHistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace {

QJsonObject toJson(const UploadJob& job)
{
    QJsonArray steps;
    for (const UploadJob::Step& s : job.steps)
        steps.append(QJsonObject{{"name", s.name}, {"attempts", s.attempts}, {"ok", s.ok}});
    return QJsonObject{{"time", job.when},
                       {"module", job.module},
                       {"file", job.file},
                       {"sha256", job.sha256},
                       {"versionsBefore", QJsonArray::fromStringList(job.versionsBefore)},
                       {"steps", steps},
                       {"retries", job.retries()},
                       {"verdict", UploadJob::verdictName(job.verdict)},
                       {"verdictText", job.verdictText},
                       {"durationMs", job.durationMs},
                       {"bytesSent", job.bytesSent}};
}

UploadJob fromJson(const QJsonObject& o)
{
    UploadJob job;
    job.when = o.value("time").toString();
    job.module = o.value("module").toString();
    job.file = o.value("file").toString();
    job.sha256 = o.value("sha256").toString();
    for (const QJsonValue& v : o.value("versionsBefore").toArray())
        job.versionsBefore << v.toString();
    for (const QJsonValue& v : o.value("steps").toArray()) {
        const QJsonObject s = v.toObject();
        job.steps.push_back({s.value("name").toString(), s.value("attempts").toInt(), s.value("ok").toBool()});
    }
    const QString verdict = o.value("verdict").toString();
    for (int v = 0; v <= 4; ++v)
        if (UploadJob::verdictName(UploadJob::Verdict(v)) == verdict)
            job.verdict = UploadJob::Verdict(v);
    job.verdictText = o.value("verdictText").toString();
    job.durationMs = qint64(o.value("durationMs").toDouble());
    job.bytesSent = qint64(o.value("bytesSent").toDouble());
    return job;
}

QByteArray csvField(const QString& text)
{
    QByteArray f = text.toUtf8();
    if (!f.contains(',') && !f.contains('"') && !f.contains('\n') && !f.contains('\r'))
        return f;
    f.replace("\"", "\"\"");
    return '"' + f + '"';
}

} // namespace

QString UploadHistory::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Vantrel/Quillan/upload-history.jsonl");
}

bool UploadHistory::append(const UploadJob& job, QString* error) const
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile f(m_path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    const QByteArray line = QJsonDocument(toJson(job)).toJson(QJsonDocument::Compact) + '\n';
    if (f.write(line) != line.size() || !f.flush()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

std::vector<UploadJob> UploadHistory::load() const
{
    std::vector<UploadJob> jobs;
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        return jobs;
    while (!f.atEnd()) {
        const QJsonDocument doc = QJsonDocument::fromJson(f.readLine());
        if (doc.isObject())
            jobs.push_back(fromJson(doc.object()));
    }
    return jobs;
}

QStringList UploadHistory::columns()
{
    return {QStringLiteral("Time"),    QStringLiteral("Module"),          QStringLiteral("File"),
            QStringLiteral("SHA-256"), QStringLiteral("Versions before"), QStringLiteral("Retries"),
            QStringLiteral("Verdict"), QStringLiteral("Duration (s)")};
}

QStringList UploadHistory::row(const UploadJob& job)
{
    return {job.when,
            job.module,
            job.file,
            job.sha256,
            job.versionsBefore.join(QStringLiteral(" | ")),
            QString::number(job.retries()),
            UploadJob::verdictName(job.verdict),
            QString::number(double(job.durationMs) / 1000.0, 'f', 1)};
}

QByteArray UploadHistory::toCsv(const std::vector<UploadJob>& jobs)
{
    QByteArray out;
    const auto line = [&out](const QStringList& fields) {
        for (int i = 0; i < fields.size(); ++i)
            out += (i ? "," : "") + csvField(fields[i]);
        out += "\r\n";
    };
    line(columns());
    for (const UploadJob& job : jobs)
        line(row(job));
    return out;
}
