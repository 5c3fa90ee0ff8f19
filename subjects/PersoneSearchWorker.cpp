#include "PersoneSearchWorker.h"

#include "data/SharedConnection.h"

PersoneSearchWorker::PersoneSearchWorker(const PersoneSearchDlg::_Conditions &conditions, const QStringList &files)
    : m_conditions(conditions)
    , m_files(files)
{
    qRegisterMetaType<SubjectCheck>("SubjectCheck");
}

PersoneSearchWorker::~PersoneSearchWorker()
{
    cancel();
    if (m_thread)
        m_thread->wait();
}

void PersoneSearchWorker::start()
{
    m_thread.reset(QThread::create([this] { run(); }));
    connect(m_thread.get(), &QThread::finished, this, &PersoneSearchWorker::finished);
    m_thread->start();
}

void PersoneSearchWorker::cancel()
{
    m_canceled = true;
}

void PersoneSearchWorker::run()
{
    const SharedConnection::ThreadConnection connection;
    for (int i = 0; i < m_files.size() && !m_canceled; ++i)
        emit checked(i, checkSubjectFile(m_conditions, m_files.at(i)));
}
