<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>AlignmentDlg</name>
    <message>
        <source>Юстировка каналов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Юстировка каналов в этой версии недоступна.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DefChannel</name>
    <message>
        <source>КГР</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ТС</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>НДХ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ВДХ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ПГ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тремор</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Мкф-Сенсор</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>АД</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тахограмма</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Доп. канал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Мкф-Компьютер</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Д. в манжете</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ДифДХ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>КГР (Кожно-гальваническая реакция)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ТС (Тоническая составляющая КГР)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>НДХ (Дыхание нижнее)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ВДХ (Дыхание верхнее)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ПГ (Плетизмограмма)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тремор (Двигательная активность)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Мкф-Сенсор (Огибающая акустических сигналов)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>АД (Давление)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Дополнителный канал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Мкф-Компьютер (Огибающая акустических сигналов)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Давление в манжете</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ДифДХ (Дыхание дифференциальное)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FancyMainWindow</name>
    <message>
        <source>Reset to Default Layout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatically Hide View Title Bars</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Inspection</name>
    <message>
        <source>Н</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>К</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>П</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InspectionRecordFancy</name>
    <message>
        <source>Стоп</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Запись</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Запись теста «%1»</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Воспроизведение теста «%1»</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Воркел</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreTestCanversationDockWindow</name>
    <message>
        <source>Предтестовая беседа</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Запись речи: идёт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Запись речи: остановлена</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Воркел</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось записать таблицу в файл
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не найдена программа, которая открыла бы таблицу.
Таблица сохранена в файле
%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vugVorkel</name>
    <message>
        <source>Опросник
(Alt+1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Полиграммы
(Alt+2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Бал.оценка
(Alt+3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Метр.оценка
(Alt+4)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Результат
(Alt+5)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Компьютерный полиграф - Воркел</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройки - F4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Воспроизведение полиграммы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Запись полиграммы - F5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Выход</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Се&amp;рвис</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Юстировка каналов...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Справка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Диагностика системы...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>О программе...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Испытуемый:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Количество предъявленных тестов:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Путь к файлу:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Воркел</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Компьютерный полиграф «Воркел»
Версия %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>При изменении корневого каталога необходимо перезапустить программу. 
Выполнить перезапуск?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>При изменении справочника необходимо перезапустить программу. 
Выполнить перезапуск?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>При изменении шрифта необходимо перезапустить программу. 
Выполнить перезапуск?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось перезапустить программу.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;Вы хотите завершить запись полиграммы ?&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;Вы хотите сохранить записанную полиграмму ?&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;Вы действительно хотите выйти из программы?&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
