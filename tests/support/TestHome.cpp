#include "TestHome.h"

#include <QDir>
#include <QStandardPaths>

TestHome::TestHome()
    : m_dir(QDir::tempPath() + QStringLiteral("/vug-test-XXXXXX"))
{
    const QString root = m_dir.path();
    const auto setPath = [&root](const char *name, const QString &sub) {
        QDir().mkpath(root + sub);
        qputenv(name, QFile::encodeName(root + sub));
    };
    setPath("HOME", QString());
    setPath("XDG_CONFIG_HOME", QStringLiteral("/.config"));
    setPath("XDG_DATA_HOME", QStringLiteral("/.local/share"));
    setPath("XDG_CACHE_HOME", QStringLiteral("/.cache"));
    // The default data folder, as the program's start makes it.
    QDir().mkpath(root + QStringLiteral("/Documents/.VorkelData"));
}
