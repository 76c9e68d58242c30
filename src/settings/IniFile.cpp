#include "settings/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace vantrel {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// A line as the parser sees it: without a byte-order mark (first line of a
// file saved by some editors) and without blanks, CR included, at its ends.
QByteArray parsedLine(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    return t.startsWith(kUtf8Bom) ? t.mid(3).trimmed() : t;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<QByteArray> sectionName(const QByteArray& line) {
    const QByteArray t = parsedLine(line);
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.lastIndexOf(']');
    if (close < 1)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

bool sameName(const QByteArray& raw, const QString& wanted) {
    return QString::compare(QString::fromUtf8(raw), wanted.trimmed(), Qt::CaseInsensitive) == 0;
}

// Splits "key=value" into its trimmed key; nullopt when the line has no "=".
std::optional<QByteArray> keyOf(const QByteArray& line) {
    const QByteArray t = parsedLine(line);
    const qsizetype eq = t.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    const QByteArray key = t.left(eq).trimmed();
    if (key.isEmpty() || key.startsWith(';') || key.startsWith('#') || key.startsWith('['))
        return std::nullopt;
    return key;
}

QString valueOf(const QByteArray& line) {
    QByteArray v = line.mid(line.indexOf('=') + 1).trimmed();
    if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
        v = v.mid(1, v.size() - 2);
    return QString::fromUtf8(v);
}

// A name or value as one line of the file: line breaks would split it into
// lines that read back as other keys or sections, so they become blanks.
QByteArray oneLine(const QString& text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace('\r', ' ');
    bytes.replace('\n', ' ');
    return bytes;
}

// A value as stored: the reader trims blanks at a value's ends and takes one
// pair of enclosing double quotes off, so a value that would lose either is
// put in double quotes.
QByteArray exactValue(const QString& text) {
    const QByteArray v = oneLine(text);
    const bool quoted = v.size() >= 2 && v.startsWith('"') && v.endsWith('"');
    if (v.trimmed().size() != v.size() || quoted)
        return '"' + v + '"';
    return v;
}

// Holds the advisory lock on a settings file's lock file while it lives.
class WriteLock {
public:
    explicit WriteLock(const QString& path) {
        const QByteArray name = QFile::encodeName(path);
        m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
        if (m_fd < 0)  // someone else's lock file: a read-only descriptor locks as well
            m_fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY);
        if (m_fd < 0)
            return;
        // Wait for another copy's write, but never for ever: a copy that
        // hangs while it holds the lock must not hang this one too.
        for (int waited = 0;; waited += kPollMs) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                m_held = true;
                return;
            }
            if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) {
                m_held = true;  // no locks on this file system: write as before
                return;
            }
            if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= IniFile::kLockWaitMs)
                return;
            ::usleep(kPollMs * 1000);
        }
    }
    ~WriteLock() {
        if (m_fd >= 0)
            ::close(m_fd);  // releases the lock
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    bool held() const { return m_held; }

private:
    static constexpr int kPollMs = 5;
    int m_fd = -1;
    bool m_held = false;
};

}  // namespace

IniDocument::IniDocument(const QByteArray& content) {
    if (content.isEmpty())
        return;
    // Lines keep their own CR, so a file with CRLF endings (or a mix) is
    // written back byte for byte; new lines follow the file's first ending.
    m_lines = content.split('\n');
    m_finalNewline = content.endsWith('\n');
    if (m_finalNewline)
        m_lines.removeLast();
    if (!m_lines.isEmpty() && m_lines.first().endsWith('\r'))
        m_newline = "\r\n";
}

QByteArray IniDocument::newLine(const QByteArray& text) const {
    return m_newline == "\r\n" ? text + '\r' : text;
}

qsizetype IniDocument::findSection(const QString& section) const {
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i]);
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype sectionLine) const {
    for (qsizetype i = sectionLine + 1; i < m_lines.size(); ++i) {
        if (sectionName(m_lines[i]))
            return i;
    }
    return m_lines.size();
}

qsizetype IniDocument::findKey(qsizetype sectionLine, const QString& key) const {
    const qsizetype end = sectionEnd(sectionLine);
    for (qsizetype i = sectionLine + 1; i < end; ++i) {
        const auto k = keyOf(m_lines[i]);
        if (k && sameName(*k, key))
            return i;
    }
    return -1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const qsizetype s = findSection(section);
    if (s < 0)
        return std::nullopt;
    const qsizetype k = findKey(s, key);
    if (k < 0)
        return std::nullopt;
    return valueOf(m_lines[k]);
}

bool IniDocument::hasSection(const QString& section) const {
    return findSection(section) >= 0;
}

QStringList IniDocument::keys(const QString& section) const {
    QStringList out;
    const qsizetype s = findSection(section);
    if (s < 0)
        return out;
    const qsizetype end = sectionEnd(s);
    for (qsizetype i = s + 1; i < end; ++i) {
        if (const auto k = keyOf(m_lines[i]))
            out.append(QString::fromUtf8(*k));
    }
    return out;
}

void IniDocument::setExactValue(const QString& section, const QString& key,
                                const QString& value) {
    setStoredValue(section, key, exactValue(value));
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    setStoredValue(section, key, oneLine(value));
}

void IniDocument::setStoredValue(const QString& section, const QString& key, const QByteArray& v) {
    qsizetype s = findSection(section);
    if (s < 0) {
        if (!m_lines.isEmpty() && !parsedLine(m_lines.last()).isEmpty())
            m_lines.append(newLine(QByteArray()));
        m_lines.append(newLine('[' + oneLine(section) + ']'));
        m_lines.append(newLine(oneLine(key) + '=' + v));
        return;
    }
    const qsizetype k = findKey(s, key);
    if (k >= 0) {
        // The key keeps its spelling and the line its own ending.
        const bool cr = m_lines[k].endsWith('\r');
        m_lines[k] = *keyOf(m_lines[k]) + '=' + v + (cr ? "\r" : "");
        return;
    }
    // Insert after the section's last line that is not blank.
    qsizetype at = sectionEnd(s);
    while (at > s + 1 && parsedLine(m_lines[at - 1]).isEmpty())
        --at;
    m_lines.insert(at, newLine(oneLine(key) + '=' + v));
}

void IniDocument::removeKey(const QString& section, const QString& key) {
    const qsizetype s = findSection(section);
    if (s < 0)
        return;
    const qsizetype k = findKey(s, key);
    if (k >= 0)
        m_lines.removeAt(k);
}

QByteArray IniDocument::serialize() const {
    QByteArray out;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        out.append(m_lines[i]);
        if (i + 1 < m_lines.size() || m_finalNewline)
            out.append('\n');
    }
    return out;
}

std::optional<qint64> parseIniInteger(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qint64 v = t.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}

IniDocument IniFile::read() const {
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        return IniDocument();
    return IniDocument(f.readAll());
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    return read().value(section, key).value_or(defaultValue);
}

qint64 IniFile::readInteger(const QString& section, const QString& key, qint64 defaultValue) const {
    const auto text = read().value(section, key);
    if (!text)
        return defaultValue;
    return parseIniInteger(*text).value_or(defaultValue);
}

bool IniFile::hasSection(const QString& section) const {
    return read().hasSection(section);
}

QStringList IniFile::keys(const QString& section) const {
    return read().keys(section);
}

bool IniFile::update(const std::function<void(IniDocument&)>& change) {
    const QFileInfo info(m_path);
    if (!info.absoluteDir().exists() && !QDir().mkpath(info.absolutePath()))
        return false;
    const WriteLock lock(lockPath());
    if (!lock.held())
        return false;
    IniDocument doc;
    QFile in(m_path);
    if (in.exists()) {
        // The file is replaced by a rename, which the folder's permissions
        // allow even for a read-only file: ask the file itself whether it may
        // be written (an open for writing, which also honours the caller's
        // effective rights, unlike access()). A file that cannot be read would
        // lose its other content, so it is left alone as well.
        const int fd = ::open(QFile::encodeName(m_path).constData(),
                              O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0)
            return false;
        ::close(fd);
        if (!in.open(QIODevice::ReadOnly))
            return false;
        doc = IniDocument(in.readAll());
        in.close();
    }
    change(doc);
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = doc.serialize();
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    return update([&](IniDocument& doc) { doc.setValue(section, key, value); });
}

bool IniFile::writeInteger(const QString& section, const QString& key, qint64 value) {
    return writeString(section, key, QString::number(value));
}

QString settingsFolder() {
    // AppConfigLocation is the generic configuration folder itself when no
    // application name is set; the files must never land loose in there.
    QString folder;
    if (!QCoreApplication::applicationName().isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (folder.isEmpty()) {
        const QString base =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        folder = (base.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : base) +
                 QStringLiteral("/vantrel");
    }
    QDir().mkpath(folder);
    return folder;
}

IniFile vantrelIni() {
    return IniFile(settingsFolder() + QStringLiteral("/vantrel.ini"));
}

IniFile vantrelmIni() {
    return IniFile(settingsFolder() + QStringLiteral("/vantrelm"));
}

QStringList readPatternList(const IniFile& file, const QString& section,
                            const QStringList& defaults) {
    return readPatternList(file.read(), section, defaults);
}

QStringList readPatternList(const IniDocument& doc, const QString& section,
                            const QStringList& defaults) {
    const qint64 number =
        parseIniInteger(doc.value(section, QStringLiteral("Number")).value_or(QString()))
            .value_or(-1);
    if (number < 0)
        return defaults;
    // Visit only the FileN keys that exist, in the order of N: a garbage
    // Number far larger than the list must not make this run for ages.
    QMap<qint64, QString> entries;
    for (const QString& k : doc.keys(section)) {
        if (!k.startsWith(QStringLiteral("File"), Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const qint64 n = k.mid(4).toLongLong(&ok);
        if (ok && n >= 1 && n <= number && !entries.contains(n) && k.mid(4) == QString::number(n))
            entries.insert(n, doc.value(section, k).value_or(QString()));
    }
    QStringList out;
    for (const QString& v : std::as_const(entries)) {
        if (!v.isEmpty())
            out.append(v);
    }
    return out;
}

bool writePatternList(IniFile& file, const QString& section, const QStringList& patterns) {
    return file.update([&](IniDocument& doc) { writePatternList(doc, section, patterns); });
}

void writePatternList(IniDocument& doc, const QString& section, const QStringList& patterns) {
    doc.setValue(section, QStringLiteral("Number"), QString::number(patterns.size()));
    for (qsizetype i = 0; i < patterns.size(); ++i)
        doc.setExactValue(section, QStringLiteral("File") + QString::number(i + 1), patterns[i]);
}

}  // namespace vantrel
