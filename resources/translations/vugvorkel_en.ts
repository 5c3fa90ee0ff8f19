<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AlignmentDlg</name>
    <message>
        <source>Юстировка каналов</source>
        <translation>Channel alignment</translation>
    </message>
    <message>
        <source>Юстировка каналов в этой версии недоступна.</source>
        <translation>Channel alignment is not available in this version.</translation>
    </message>
</context>
<context>
    <name>DefChannel</name>
    <message>
        <source>КГР</source>
        <translation>GSR</translation>
    </message>
    <message>
        <source>ТС</source>
        <translation>GSR-T</translation>
    </message>
    <message>
        <source>НДХ</source>
        <translation>RL</translation>
    </message>
    <message>
        <source>ВДХ</source>
        <translation>RU</translation>
    </message>
    <message>
        <source>ПГ</source>
        <translation>PG</translation>
    </message>
    <message>
        <source>Тремор</source>
        <translation>Tremor</translation>
    </message>
    <message>
        <source>Мкф-Сенсор</source>
        <translation>Mic-Unit</translation>
    </message>
    <message>
        <source>АД</source>
        <translation>BP</translation>
    </message>
    <message>
        <source>Тахограмма</source>
        <translation>Tachogram</translation>
    </message>
    <message>
        <source>Доп. канал</source>
        <translation>Extra</translation>
    </message>
    <message>
        <source>Мкф-Компьютер</source>
        <translation>Mic-PC</translation>
    </message>
    <message>
        <source>Д. в манжете</source>
        <translation>Cuff</translation>
    </message>
    <message>
        <source>ДифДХ</source>
        <translation>RDiff</translation>
    </message>
    <message>
        <source>КГР (Кожно-гальваническая реакция)</source>
        <translation>GSR (galvanic skin response)</translation>
    </message>
    <message>
        <source>ТС (Тоническая составляющая КГР)</source>
        <translation>GSR-T (tonic component of GSR)</translation>
    </message>
    <message>
        <source>НДХ (Дыхание нижнее)</source>
        <translation>RL (lower breathing)</translation>
    </message>
    <message>
        <source>ВДХ (Дыхание верхнее)</source>
        <translation>RU (upper breathing)</translation>
    </message>
    <message>
        <source>ПГ (Плетизмограмма)</source>
        <translation>PG (plethysmogram)</translation>
    </message>
    <message>
        <source>Тремор (Двигательная активность)</source>
        <translation>Tremor (motor activity)</translation>
    </message>
    <message>
        <source>Мкф-Сенсор (Огибающая акустических сигналов)</source>
        <translation>Mic-Unit (sound envelope)</translation>
    </message>
    <message>
        <source>АД (Давление)</source>
        <translation>BP (blood pressure)</translation>
    </message>
    <message>
        <source>Дополнителный канал</source>
        <translation>Extra channel</translation>
    </message>
    <message>
        <source>Мкф-Компьютер (Огибающая акустических сигналов)</source>
        <translation>Mic-PC (sound envelope)</translation>
    </message>
    <message>
        <source>Давление в манжете</source>
        <translation>Cuff pressure</translation>
    </message>
    <message>
        <source>ДифДХ (Дыхание дифференциальное)</source>
        <translation>RDiff (differential breathing)</translation>
    </message>
</context>
<context>
    <name>FancyMainWindow</name>
    <message>
        <source>Reset to Default Layout</source>
        <translation>Reset to Default Layout</translation>
    </message>
    <message>
        <source>Automatically Hide View Title Bars</source>
        <translation>Automatically Hide View Title Bars</translation>
    </message>
</context>
<context>
    <name>Inspection</name>
    <message>
        <source>Н</source>
        <translation>N</translation>
    </message>
    <message>
        <source>К</source>
        <translation>C</translation>
    </message>
    <message>
        <source>П</source>
        <translation>R</translation>
    </message>
</context>
<context>
    <name>InspectionRecordFancy</name>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Запись</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Запись теста «%1»</source>
        <translation>Recording test “%1”</translation>
    </message>
    <message>
        <source>Воспроизведение теста «%1»</source>
        <translation>Playing back test “%1”</translation>
    </message>
    <message>
        <source>Воркел</source>
        <translation>Vorkel</translation>
    </message>
</context>
<context>
    <name>PreTestCanversationDockWindow</name>
    <message>
        <source>Предтестовая беседа</source>
        <translation>Pre-test conversation</translation>
    </message>
    <message>
        <source>Запись речи: идёт</source>
        <translation>Speech recording: on</translation>
    </message>
    <message>
        <source>Запись речи: остановлена</source>
        <translation>Speech recording: off</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Воркел</source>
        <translation>Vorkel</translation>
    </message>
    <message>
        <source>Не удалось записать таблицу в файл
%1</source>
        <translation>The table could not be written to the file
%1</translation>
    </message>
    <message>
        <source>Не найдена программа, которая открыла бы таблицу.
Таблица сохранена в файле
%1</source>
        <translation>No program was found to open the table.
The table is saved in the file
%1</translation>
    </message>
</context>
<context>
    <name>vugVorkel</name>
    <message>
        <source>Опросник
(Alt+1)</source>
        <translation>Questions
(Alt+1)</translation>
    </message>
    <message>
        <source>Полиграммы
(Alt+2)</source>
        <translation>Polygrams
(Alt+2)</translation>
    </message>
    <message>
        <source>Бал.оценка
(Alt+3)</source>
        <translation>Points
(Alt+3)</translation>
    </message>
    <message>
        <source>Метр.оценка
(Alt+4)</source>
        <translation>Metrics
(Alt+4)</translation>
    </message>
    <message>
        <source>Результат
(Alt+5)</source>
        <translation>Results
(Alt+5)</translation>
    </message>
    <message>
        <source>Компьютерный полиграф - Воркел</source>
        <translation>Computer polygraph - Vorkel</translation>
    </message>
    <message>
        <source>Настройки - F4</source>
        <translation>Settings - F4</translation>
    </message>
    <message>
        <source>Воспроизведение полиграммы</source>
        <translation>Play back polygram</translation>
    </message>
    <message>
        <source>Запись полиграммы - F5</source>
        <translation>Record polygram - F5</translation>
    </message>
    <message>
        <source>F4</source>
        <translation>F4</translation>
    </message>
    <message>
        <source>F5</source>
        <translation>F5</translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Выход</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>Се&amp;рвис</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>Юстировка каналов...</source>
        <translation>Channel alignment...</translation>
    </message>
    <message>
        <source>&amp;Справка</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Диагностика системы...</source>
        <translation>System diagnostics...</translation>
    </message>
    <message>
        <source>О программе...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>Испытуемый:</source>
        <translation>Subject:</translation>
    </message>
    <message>
        <source>Количество предъявленных тестов:</source>
        <translation>Tests presented:</translation>
    </message>
    <message>
        <source>Путь к файлу:</source>
        <translation>File folder:</translation>
    </message>
    <message>
        <source>Воркел</source>
        <translation>Vorkel</translation>
    </message>
    <message>
        <source>Компьютерный полиграф «Воркел»
Версия %1</source>
        <translation>Computer polygraph “Vorkel”
Version %1</translation>
    </message>
    <message>
        <source>При изменении корневого каталога необходимо перезапустить программу. 
Выполнить перезапуск?</source>
        <translation>The program must be restarted after the data folder changes.
Restart now?</translation>
    </message>
    <message>
        <source>При изменении справочника необходимо перезапустить программу. 
Выполнить перезапуск?</source>
        <translation>The program must be restarted after the reference book changes.
Restart now?</translation>
    </message>
    <message>
        <source>При изменении шрифта необходимо перезапустить программу. 
Выполнить перезапуск?</source>
        <translation>The program must be restarted after the font changes.
Restart now?</translation>
    </message>
    <message>
        <source>Не удалось перезапустить программу.</source>
        <translation>The program could not be restarted.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Вы хотите завершить запись полиграммы ?&lt;/p&gt;</source>
        <translation>&lt;p&gt;Do you want to finish recording the polygram?&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Вы хотите сохранить записанную полиграмму ?&lt;/p&gt;</source>
        <translation>&lt;p&gt;Do you want to save the recorded polygram?&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Вы действительно хотите выйти из программы?&lt;/p&gt;</source>
        <translation>&lt;p&gt;Do you really want to quit the program?&lt;/p&gt;</translation>
    </message>
</context>
</TS>