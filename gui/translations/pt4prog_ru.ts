<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>pt4::File</name>
    <message>
        <source>Line %1: %2</source>
        <translation>Строка %1: %2</translation>
    </message>
    <message>
        <source>data at address %1 is beyond the chip&apos;s %2 words</source>
        <translation>данные по адресу %1 лежат за пределами %2 слов микросхемы</translation>
    </message>
    <message>
        <source>Word %1 is missing: every word from 00 to %2 must be given</source>
        <translation>Нет слова %1: должны быть заданы все слова от 00 до %2</translation>
    </message>
    <message>
        <source>the record is shorter than its length byte says</source>
        <translation>запись короче, чем указано в её байте длины</translation>
    </message>
    <message>
        <source>the record is longer than its length byte says</source>
        <translation>запись длиннее, чем указано в её байте длины</translation>
    </message>
    <message>
        <source>checksum is %1, the record says %2</source>
        <translation>контрольная сумма равна %1, а в записи указано %2</translation>
    </message>
    <message>
        <source>an extended address record holds two bytes</source>
        <translation>запись расширенного адреса должна содержать два байта</translation>
    </message>
    <message>
        <source>record type %1 is not an Intel HEX record type</source>
        <translation>тип записи %1 не относится к типам записей Intel HEX</translation>
    </message>
    <message>
        <source>the record is shorter than its count byte says</source>
        <translation>запись короче, чем указано в её байте счётчика</translation>
    </message>
    <message>
        <source>the record is longer than its count byte says</source>
        <translation>запись длиннее, чем указано в её байте счётчика</translation>
    </message>
    <message>
        <source>%1 is not an S-record type</source>
        <translation>%1 — не тип записи S-record</translation>
    </message>
    <message>
        <source>the record is too short for its address</source>
        <translation>запись слишком коротка для своего адреса</translation>
    </message>
    <message>
        <source>the count record says %1 data records, the file has %2</source>
        <translation>в записи-счётчике указано записей данных: %1, а в файле их %2</translation>
    </message>
    <message>
        <source>Read beyond end of file</source>
        <translation>Чтение за концом файла</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Файл не найден</translation>
    </message>
    <message>
        <source>Invalid filename</source>
        <translation>Недопустимое имя файла</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Открыто слишком много файлов</translation>
    </message>
    <message>
        <source>File access denied</source>
        <translation>Нет доступа к файлу</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Диск заполнен</translation>
    </message>
    <message>
        <source>Is a folder, not a file</source>
        <translation>Это папка, а не файл</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Это не обычный файл</translation>
    </message>
    <message>
        <source>I/O error %1</source>
        <translation>Ошибка ввода-вывода %1</translation>
    </message>
    <message>
        <source>%1 at column %2 is not a hex digit</source>
        <translation>%1 в столбце %2 — не шестнадцатеричная цифра</translation>
    </message>
    <message>
        <source>the record has an odd number of hex digits</source>
        <translation>в записи нечётное число шестнадцатеричных цифр</translation>
    </message>
    <message>
        <source>Word %1 is given twice, %2 on line %3 and %4 on line %5</source>
        <translation>Слово %1 задано дважды: %2 в строке %3 и %4 в строке %5</translation>
    </message>
    <message>
        <source>the record is cut short</source>
        <translation>запись оборвана</translation>
    </message>
    <message>
        <source>an end record holds no data</source>
        <translation>запись конца не содержит данных</translation>
    </message>
    <message>
        <source>a start address record holds four bytes</source>
        <translation>запись стартового адреса содержит четыре байта</translation>
    </message>
    <message>
        <source>The file is larger than %1 KiB, the most a text image may be</source>
        <translation>Файл больше %1 КиБ — предела для текстового образа</translation>
    </message>
    <message>
        <source>the record starts at column %1; a record must start at column 1</source>
        <translation>запись начинается в столбце %1, а запись должна начинаться в столбце 1</translation>
    </message>
    <message>
        <source>a CR alone at column %1 ends no line: records need LF or CR LF line ends</source>
        <translation>одиночный CR в столбце %1 не завершает строку: записям нужны концы строк LF или CR LF</translation>
    </message>
    <message>
        <source>The file holds no Intel HEX record (a line that starts with &apos;:&apos;)</source>
        <translation>В файле нет ни одной записи Intel HEX (строки, начинающейся с &apos;:&apos;)</translation>
    </message>
    <message>
        <source>The file holds no S-record (a line that starts with S and a digit)</source>
        <translation>В файле нет ни одной записи S-record (строки, начинающейся с S и цифры)</translation>
    </message>
    <message>
        <source>record type %1 must have 0000 in its address field</source>
        <translation>у записи типа %1 в поле адреса должно быть 0000</translation>
    </message>
    <message>
        <source>an S-record starts with S and a digit; this line starts with S and %1</source>
        <translation>запись S-record начинается с S и цифры, а эта строка начинается с S и %1</translation>
    </message>
    <message>
        <source>Windows keeps this name for a device, in every folder: CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9, with any extension. Choose another name</source>
        <translation>Windows оставляет это имя за устройством, в любой папке: CON, PRN, AUX, NUL, COM1-COM9 и LPT1-LPT9, с любым расширением. Выберите другое имя</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>это символическая ссылка</translation>
    </message>
    <message>
        <source>it cannot be examined</source>
        <translation>его нельзя проверить</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>это не обычный файл</translation>
    </message>
    <message>
        <source>it has another name (a hard link)</source>
        <translation>у него есть другое имя (жёсткая ссылка)</translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation>он принадлежит другому пользователю</translation>
    </message>
    <message>
        <source>it cannot be written in order</source>
        <translation>в него нельзя писать по порядку</translation>
    </message>
    <message>
        <source>Windows keeps the name for a device</source>
        <translation>Windows оставляет это имя за устройством</translation>
    </message>
    <message>
        <source>access is denied</source>
        <translation>доступ запрещён</translation>
    </message>
    <message>
        <source>it cannot be opened</source>
        <translation>его нельзя открыть</translation>
    </message>
    <message>
        <source>it cannot be emptied</source>
        <translation>его нельзя очистить</translation>
    </message>
    <message>
        <source>it cannot be written</source>
        <translation>в него нельзя писать</translation>
    </message>
    <message>
        <source>The chip file %1 is in use by another program.</source>
        <translation>Файл микросхемы %1 занят другой программой.</translation>
    </message>
    <message>
        <source>The chip file %1 is in use by another program (process %2).</source>
        <translation>Файл микросхемы %1 занят другой программой (процесс %2).</translation>
    </message>
    <message>
        <source>The chip file %1 is in use by another program (%2, process %3).</source>
        <translation>Файл микросхемы %1 занят другой программой (%2, процесс %3).</translation>
    </message>
    <message>
        <source>Cannot open the chip file %1: %2.</source>
        <translation>Не удаётся открыть файл микросхемы %1: %2.</translation>
    </message>
    <message>
        <source>Cannot create the chip file %1: %2.</source>
        <translation>Не удаётся создать файл микросхемы %1: %2.</translation>
    </message>
    <message>
        <source>Cannot read the chip file %1: %2.</source>
        <translation>Не удаётся прочитать файл микросхемы %1: %2.</translation>
    </message>
    <message>
        <source>The chip file %1 holds %2 bytes, not 256.</source>
        <translation>В файле микросхемы %1 %2 байт, а не 256.</translation>
    </message>
    <message>
        <source>The chip file %1 could not be written: %2.</source>
        <translation>Не удалось записать файл микросхемы %1: %2.</translation>
    </message>
    <message>
        <source>Cannot create the trace file %1: %2</source>
        <translation>Не удаётся создать файл трассировки %1: %2</translation>
    </message>
    <message>
        <source>The port trace %1 could not be written: %2.</source>
        <translation>Не удалось записать трассировку порта %1: %2.</translation>
    </message>
</context>
<context>
    <name>pt4::Port</name>
    <message>
        <source>direct port I/O at %1</source>
        <translation>прямой доступ к портам ввода-вывода по адресу %1</translation>
    </message>
    <message>
        <source>direct port I/O at %1 (ECR %2)</source>
        <translation>прямой доступ к портам ввода-вывода по адресу %1 (ECR %2)</translation>
    </message>
    <message>
        <source>%1 refused: %2.</source>
        <translation>%1 — отказ: %2.</translation>
    </message>
    <message>
        <source>Run it as root through sudo (%1), which gives root up once the port is open, or use ppdev as a member of group lp (%2).</source>
        <translation>Запустите программу от имени root через sudo (%1): права root сбрасываются сразу после открытия порта. Или работайте через ppdev, состоя в группе lp (%2).</translation>
    </message>
    <message>
        <source>this processor has no I/O ports of the PC&apos;s kind</source>
        <translation>у этого процессора нет портов ввода-вывода, как у PC</translation>
    </message>
    <message>
        <source>Use ppdev (%1).</source>
        <translation>Используйте ppdev (%1).</translation>
    </message>
    <message>
        <source>The port is in use by another program: a printer daemon (cupsd: &apos;%1&apos;), the lp module (&apos;%2&apos;), or another pt4prog or pt4cli. Stop it and try again.</source>
        <translation>Порт занят другой программой: службой печати (cupsd: «%1»), модулем lp («%2») или другим экземпляром pt4prog или pt4cli. Остановите её и повторите попытку.</translation>
    </message>
    <message>
        <source>Add your user to group lp (&apos;%1&apos;, then log in again), or make %2 readable and writable for you.</source>
        <translation>Добавьте себя в группу lp («%1», затем войдите в систему заново) или дайте себе права на чтение и запись %2.</translation>
    </message>
    <message>
        <source>The port is busy: another program may be using it. Stop it and try again.</source>
        <translation>Порт занят: возможно, его использует другая программа. Остановите её и повторите попытку.</translation>
    </message>
    <message>
        <source>Check the port and the ppdev driver (%1).</source>
        <translation>Проверьте порт и драйвер ppdev (%1).</translation>
    </message>
    <message>
        <source>Cannot open %1: %2.</source>
        <translation>Не удаётся открыть %1: %2.</translation>
    </message>
    <message>
        <source>a regular file</source>
        <translation>обычный файл</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>папка</translation>
    </message>
    <message>
        <source>a FIFO</source>
        <translation>именованный канал (FIFO)</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>сокет</translation>
    </message>
    <message>
        <source>a block device (%1), a disk</source>
        <translation>блочное устройство (%1), то есть диск</translation>
    </message>
    <message>
        <source>a character device (%1) of another driver</source>
        <translation>символьное устройство (%1) другого драйвера</translation>
    </message>
    <message>
        <source>not a device</source>
        <translation>не устройство</translation>
    </message>
    <message>
        <source>%1 is not a parallel port: it is %2, not one of the ppdev driver&apos;s (major 99).</source>
        <translation>%1 — не параллельный порт: это %2, а не устройство драйвера ppdev (старший номер 99).</translation>
    </message>
    <message>
        <source>Name a port as /dev/parportN (%1 lists them).</source>
        <translation>Укажите порт как /dev/parportN (их список выводит %1).</translation>
    </message>
    <message>
        <source>Cannot claim %1: %2.</source>
        <translation>Не удаётся захватить %1: %2.</translation>
    </message>
    <message>
        <source>%1 on %2 failed: %3.</source>
        <translation>Ошибка %1 на %2: %3.</translation>
    </message>
    <message>
        <source>The parallel-port driver or the port is missing: load the drivers with &apos;%1&apos;, join group lp (&apos;%2&apos;, then log in again), check that the port exists (%3), or choose another with PT4_PORT. Direct port I/O, as root, is used only when asked for (PT4_PORT=direct).</source>
        <translation>Нет драйвера параллельного порта или самого порта: загрузите драйверы командой «%1», вступите в группу lp («%2», затем войдите в систему заново), проверьте, что порт есть (%3), или выберите другой через PT4_PORT. Прямой доступ к портам от имени root включается только по явному запросу (PT4_PORT=direct).</translation>
    </message>
    <message>
        <source>To try everything without a programmer, use the simulated one: PT4_PORT=sim, or the menu entry &quot;%1&quot;.</source>
        <translation>Чтобы попробовать всё без программатора, возьмите имитатор: PT4_PORT=sim или пункт меню «%1».</translation>
    </message>
    <message>
        <source>Pt4prog (simulated programmer)</source>
        <translation>Pt4prog (имитатор программатора)</translation>
    </message>
    <message>
        <source>%1-%2 are not a parallel port&apos;s registers that this system lists</source>
        <translation>%1-%2 — не регистры параллельного порта из списка этой системы</translation>
    </message>
    <message>
        <source>the ECR at %1 is not a parallel port&apos;s register that this system lists</source>
        <translation>ECR по адресу %1 — не регистр параллельного порта из списка этой системы</translation>
    </message>
    <message>
        <source>Run through sudo or with raised rights, direct port I/O takes only the registers listed as a parallel port&apos;s: %1. Name the port&apos;s base, and its ECR where it is not 0x402 above (%2).</source>
        <translation>При запуске через sudo или с повышенными правами прямой ввод-вывод берёт только регистры, которые система числит за параллельным портом: %1. Укажите базовый адрес порта и его ECR, если он не на 0x402 выше (%2).</translation>
    </message>
    <message>
        <source>%1 is not open: the port was released.</source>
        <translation>%1 не открыт: порт уже освобождён.</translation>
    </message>
    <message>
        <source>I/O address %1 is outside the parallel port.</source>
        <translation>Адрес ввода-вывода %1 лежит вне параллельного порта.</translation>
    </message>
    <message>
        <source>the InpOut32 driver is not open: it needs installing once by an administrator</source>
        <translation>драйвер InpOut32 не открыт: его нужно один раз установить от имени администратора</translation>
    </message>
    <message>
        <source>the InpOut32 driver is installed, but Windows did not start it. Windows 11 refuses drivers like it when memory integrity (Core isolation) or the Microsoft vulnerable driver blocklist is on%1</source>
        <translation>драйвер InpOut32 установлен, но Windows его не запустила. Windows 11 не пускает такие драйверы, когда включена целостность памяти (изоляция ядра) или список блокировки уязвимых драйверов Microsoft%1</translation>
    </message>
    <message>
        <source>; on this machine both are on</source>
        <translation>; на этом компьютере включено и то, и другое</translation>
    </message>
    <message>
        <source>; on this machine memory integrity is on</source>
        <translation>; на этом компьютере включена целостность памяти</translation>
    </message>
    <message>
        <source>; on this machine the blocklist is on</source>
        <translation>; на этом компьютере включён список блокировки</translation>
    </message>
    <message>
        <source>Windows Security, Device security, Core isolation shows both switches; turning them off lowers the machine&apos;s protection, so do it only on a machine kept for this programmer, then restart. Else use the port from Linux with ppdev.</source>
        <translation>Оба переключателя находятся в разделе «Безопасность Windows», «Безопасность устройства», «Изоляция ядра»; их выключение ослабляет защиту компьютера, поэтому делайте это только на компьютере, отведённом под этот программатор, и затем перезагрузите его. Иначе работайте с портом из Linux через ppdev.</translation>
    </message>
    <message>
        <source>inpoutx64.dll, the InpOut32 driver&apos;s DLL, was not found</source>
        <translation>не найдена inpoutx64.dll, библиотека драйвера InpOut32</translation>
    </message>
    <message>
        <source>inpoutx64.dll lacks Out32, Inp32 or IsInpOutDriverOpen: it is not InpOut32&apos;s</source>
        <translation>в inpoutx64.dll нет Out32, Inp32 или IsInpOutDriverOpen: это не библиотека InpOut32</translation>
    </message>
    <message>
        <source>%1 is not open: the port was released or never opened.</source>
        <translation>%1 не открыт: порт освобождён или не был открыт.</translation>
    </message>
    <message>
        <source>No register at I/O address %1 on %2.</source>
        <translation>Нет регистра по адресу ввода-вывода %1 на %2.</translation>
    </message>
    <message>
        <source>No readable register at I/O address %1 on %2.</source>
        <translation>Нет читаемого регистра по адресу ввода-вывода %1 на %2.</translation>
    </message>
    <message>
        <source>Cannot give up root for the user who ran sudo (%1: %2); nothing was done.</source>
        <translation>Не удаётся отказаться от прав root в пользу пользователя, запустившего sudo (%1: %2); ничего не сделано.</translation>
    </message>
    <message>
        <source>The programmer&apos;s port component does not exist.</source>
        <translation>Компонент порта программатора не существует.</translation>
    </message>
    <message>
        <source>The simulated programmer&apos;s port was already released.</source>
        <translation>Порт имитатора программатора уже освобождён.</translation>
    </message>
    <message>
        <source>No register at I/O address %1.</source>
        <translation>Нет регистра по адресу ввода-вывода %1.</translation>
    </message>
    <message>
        <source>No readable register at I/O address %1.</source>
        <translation>Нет читаемого регистра по адресу ввода-вывода %1.</translation>
    </message>
    <message>
        <source>A direct port&apos;s address is one a parallel port can have: a multiple of 4 from 0x100 up, not the PCI configuration ports 0xCF8-0xCFF.</source>
        <translation>Адрес прямого порта должен быть таким, какой может быть у параллельного порта: кратным 4, от 0x100 и выше, кроме портов конфигурации PCI 0xCF8-0xCFF.</translation>
    </message>
    <message>
        <source>%1=&quot;%2&quot; is not understood. Use %3.</source>
        <translation>Значение %1=&quot;%2&quot; не распознано. Укажите %3.</translation>
    </message>
    <message>
        <source>%1 is a port of the Linux kernel&apos;s ppdev driver. On Windows the port is reached through the InpOut32 driver: choose it with --port direct (0x378) or direct:0xADDR (a PCIe card&apos;s address, as the device manager lists it).</source>
        <translation>%1 — порт драйвера ppdev ядра Linux. В Windows порт доступен через драйвер InpOut32: выберите его через --port direct (0x378) или direct:0xADDR (адрес платы PCIe, как его показывает диспетчер устройств).</translation>
    </message>
    <message>
        <source>To try the program without a programmer, double-click &quot;%1&quot; in its folder.</source>
        <translation>Чтобы попробовать программу без программатора, дважды щёлкните «%1» в её папке.</translation>
    </message>
    <message>
        <source>To try it without a programmer, give --port sim.</source>
        <translation>Чтобы попробовать без программатора, укажите --port sim.</translation>
    </message>
    <message>
        <source>For the port, install the InpOut32 driver once, as administrator (its InstallDriver.exe), and put %1 beside %2; DRIVER.txt says where to get it, and pt4cli probe then tells whether the port answers.</source>
        <translation>Для работы с портом один раз установите драйвер InpOut32 от имени администратора (его InstallDriver.exe) и положите %1 рядом с %2; где взять драйвер, сказано в DRIVER.txt, а pt4cli probe затем скажет, отвечает ли порт.</translation>
    </message>
</context>
<context>
    <name>pt4::TForm1</name>
    <message>
        <source>Exit (Esc)</source>
        <translation>Выход (Esc)</translation>
    </message>
    <message>
        <source>Help (F1)</source>
        <translation>Справка (F1)</translation>
    </message>
    <message>
        <source>Save buffer (F2)</source>
        <translation>Сохранить буфер (F2)</translation>
    </message>
    <message>
        <source>Load buffer (F3)</source>
        <translation>Загрузить буфер (F3)</translation>
    </message>
    <message>
        <source>Erase buffer (F4)</source>
        <translation>Очистить буфер (F4)</translation>
    </message>
    <message>
        <source>Read IC (F5)</source>
        <translation>Прочитать микросхему (F5)</translation>
    </message>
    <message>
        <source>Write IC (F6)</source>
        <translation>Записать микросхему (F6)</translation>
    </message>
    <message>
        <source>Compare IC &amp; buffer (F7)</source>
        <translation>Сравнить микросхему с буфером (F7)</translation>
    </message>
    <message>
        <source>Erase IC (F8)</source>
        <translation>Стереть микросхему (F8)</translation>
    </message>
    <message>
        <source>Clear Check (F9)</source>
        <translation>Проверка на чистоту (F9)</translation>
    </message>
    <message>
        <source>Read ID (F10)</source>
        <translation>Прочитать идентификатор (F10)</translation>
    </message>
    <message>
        <source>Select IC type (F11)</source>
        <translation>Выбрать тип микросхемы (F11)</translation>
    </message>
    <message>
        <source>Options (F12)</source>
        <translation>Параметры (F12)</translation>
    </message>
    <message>
        <source>Checksum</source>
        <translation>Контрольная сумма</translation>
    </message>
    <message>
        <source>CheckSum :</source>
        <translation>КС :</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>K556PT4</source>
        <translation>К556РТ4</translation>
    </message>
    <message>
        <source>Program dump</source>
        <translation>Дамп программы</translation>
    </message>
    <message>
        <source>Program Buffer</source>
        <translation>Буфер программы</translation>
    </message>
    <message>
        <source>Data dump</source>
        <translation>Дамп данных</translation>
    </message>
    <message>
        <source>Data Buffer</source>
        <translation>Буфер данных</translation>
    </message>
    <message>
        <source>IC Mode :</source>
        <translation>Режим :</translation>
    </message>
    <message>
        <source>PROM</source>
        <translation>ППЗУ</translation>
    </message>
    <message>
        <source>Adaptor :</source>
        <translation>Адапт. :</translation>
    </message>
    <message>
        <source> File </source>
        <translation> Файл </translation>
    </message>
    <message>
        <source>New</source>
        <translation>Новый</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Загрузить</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source> Buffer </source>
        <translation> Буфер </translation>
    </message>
    <message>
        <source>Fill 00</source>
        <translation>Заполнить 00</translation>
    </message>
    <message>
        <source>Fill FF</source>
        <translation>Заполнить FF</translation>
    </message>
    <message>
        <source>Fill Byte</source>
        <translation>Заполнить байтом</translation>
    </message>
    <message>
        <source>XOR byte</source>
        <translation>XOR с байтом</translation>
    </message>
    <message>
        <source>Edit ON</source>
        <translation>Правка</translation>
    </message>
    <message>
        <source> Action</source>
        <translation> Действия</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Прочитать</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Записать</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Сравнить</translation>
    </message>
    <message>
        <source>Erase</source>
        <translation>Стереть</translation>
    </message>
    <message>
        <source>Test FF</source>
        <translation>Проверить FF</translation>
    </message>
    <message>
        <source>Read ID</source>
        <translation>Прочитать ID</translation>
    </message>
    <message>
        <source>Config</source>
        <translation>Настройка</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Порт</translation>
    </message>
    <message>
        <source> Help </source>
        <translation> Справка </translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Words in the high nibble (*)</source>
        <translation>Слова в старшей тетраде (*)</translation>
    </message>
    <message>
        <source>Two words a byte, packed (*)</source>
        <translation>Два слова в байте, упакованные (*)</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Подтверждение</translation>
    </message>
    <message>
        <source>Really Quit ?</source>
        <translation>Действительно выйти ?</translation>
    </message>
    <message>
        <source>help</source>
        <translation>справка</translation>
    </message>
    <message>
        <source>IC Clean Check</source>
        <translation>Проверка микросхемы на чистоту</translation>
    </message>
    <message>
        <source>ID check</source>
        <translation>Проверка идентификатора</translation>
    </message>
    <message>
        <source>IC Type while only KP556PT4 (PT1, PT11)</source>
        <translation>Пока поддерживается только КР556РТ4 (РТ1, РТ11)</translation>
    </message>
    <message>
        <source>ROM binary (*.rom)</source>
        <translation>Образ ПЗУ (*.rom)</translation>
    </message>
    <message>
        <source>Any file (*)</source>
        <translation>Любой файл (*)</translation>
    </message>
    <message>
        <source>Intel HEX (*.hex *.ihx)</source>
        <translation>Intel HEX (*.hex *.ihx)</translation>
    </message>
    <message>
        <source>Motorola S-record (*.s19 *.srec *.mot)</source>
        <translation>Motorola S-record (*.s19 *.srec *.mot)</translation>
    </message>
    <message>
        <source>File exist.<byte value="xd"/>
  Overwrite ?</source>
        <translation>Файл существует.<byte value="xd"/>
  Перезаписать ?</translation>
    </message>
    <message>
        <source>ROM binaries (*.rom)</source>
        <translation>Образы ПЗУ (*.rom)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Все файлы (*)</translation>
    </message>
    <message>
        <source>File not found !</source>
        <translation>Файл не найден !</translation>
    </message>
    <message>
        <source>Clear buffer to byte %1 ?</source>
        <translation>Заполнить буфер байтом %1 ?</translation>
    </message>
    <message>
        <source>Alarm !!!</source>
        <translation>Внимание !!!</translation>
    </message>
    <message>
        <source> Addr    HEX (Buf) BIN        BIN  (IC)  HEX  </source>
        <translation> Адрес   HEX (Буф) BIN        BIN  (МС)  HEX  </translation>
    </message>
    <message>
        <source><byte value="xd"/>
 %1 bytes verified,</source>
        <translation><byte value="xd"/>
 Проверено байт: %1,</translation>
    </message>
    <message>
        <source> %1 complete or identical.</source>
        <translation> %1 записаны полностью или совпадают.</translation>
    </message>
    <message>
        <source> %1 not complete, possible to overwrite.</source>
        <translation> %1 записаны не полностью, можно дописать.</translation>
    </message>
    <message>
        <source> %1 bad , impossible to overwrite.</source>
        <translation> %1 с ошибкой, исправить невозможно.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
 Press Esc for refresh dump from IC buffer.</source>
        <translation><byte value="xd"/>
 Нажмите Esc, чтобы вернуться к дампу буфера.</translation>
    </message>
    <message>
        <source>Compare</source>
        <comment>the go button</comment>
        <translation>Сравнить</translation>
    </message>
    <message>
        <source>Write</source>
        <comment>the go button</comment>
        <translation>Записать</translation>
    </message>
    <message>
        <source>UProg = %1<byte value="xd"/>
Mask = %2h<byte value="xd"/>
WrTime = %3<byte value="xd"/>
WrCycle = %4</source>
        <translation>Uпрог = %1<byte value="xd"/>
Маска = %2h<byte value="xd"/>
Tимп = %3<byte value="xd"/>
Циклов = %4</translation>
    </message>
    <message>
        <source>Some programming pulses ran longer than asked (%1 over at most): the chip got more heat than the parameters say.</source>
        <translation>Некоторые импульсы программирования оказались длиннее заданных (превышение до %1): микросхема нагрелась сильнее, чем предусматривают параметры.</translation>
    </message>
    <message>
        <source>Key Code = %1</source>
        <translation>Код клавиши = %1</translation>
    </message>
    <message>
        <source>%1 - no port</source>
        <translation>%1 - нет порта</translation>
    </message>
    <message>
        <source>%1 - simulated programmer</source>
        <translation>%1 - имитатор программатора</translation>
    </message>
    <message>
        <source>Close other busy programs and let the passes run in real time (on Linux: man pt4cli, REAL TIME), then compare the chip with the image (F7) to see what it holds now.</source>
        <translation>Закройте другие загруженные программы и дайте проходам работать в реальном времени (в Linux: man pt4cli, раздел REAL TIME), затем сравните микросхему с образом (F7), чтобы увидеть, что в ней теперь записано.</translation>
    </message>
</context>
<context>
    <name>pt4::TForm2</name>
    <message>
        <source> Write/Compare modes :<byte value="xd"/>
 Low - only bytes 0,1<byte value="xd"/>
 L=&gt;H - bytes 0,1 (buffer) as 2,3 (ROM)<byte value="xd"/>
 High - only bytes 2,3<byte value="xd"/>
 Full - All bytes 0..3</source>
        <translation> Режимы записи/сравнения :<byte value="xd"/>
 Мл. - только разряды 0,1<byte value="xd"/>
 М=&gt;С - разряды 0,1 (буфер) как 2,3 (ПЗУ)<byte value="xd"/>
 Ст. - только разряды 2,3<byte value="xd"/>
 Все - все разряды 0..3</translation>
    </message>
    <message>
        <source>Low   (03)</source>
        <translation>Мл.   (03)</translation>
    </message>
    <message>
        <source>L=&gt;H  (0C)</source>
        <translation>М=&gt;С  (0C)</translation>
    </message>
    <message>
        <source>High  (0C)</source>
        <translation>Ст.   (0C)</translation>
    </message>
    <message>
        <source>Full  (0F)</source>
        <translation>Все   (0F)</translation>
    </message>
    <message>
        <source>Write / Compare parameters</source>
        <translation>Параметры записи / сравнения</translation>
    </message>
    <message>
        <source>Programming Voltage</source>
        <translation>Напряжение программирования</translation>
    </message>
    <message>
        <source>Programming Time</source>
        <translation>Длительность импульса программирования</translation>
    </message>
    <message>
        <source>Programming Cycles</source>
        <translation>Число циклов программирования</translation>
    </message>
    <message>
        <source>Address range</source>
        <translation>Диапазон адресов</translation>
    </message>
    <message>
        <source>Full Size</source>
        <translation>Весь объём</translation>
    </message>
    <message>
        <source>From-To</source>
        <translation>От и до</translation>
    </message>
    <message>
        <source>Buffer from</source>
        <translation>Буфер с</translation>
    </message>
    <message>
        <source>ROM    from</source>
        <translation>ПЗУ    с</translation>
    </message>
    <message>
        <source>h to</source>
        <translation>h по</translation>
    </message>
    <message>
        <source>Go!!!</source>
        <translation>Пуск!!!</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>h</source>
        <translation>h</translation>
    </message>
    <message>
        <source>Vprg</source>
        <translation>Uпр</translation>
    </message>
    <message>
        <source>V</source>
        <translation>В</translation>
    </message>
    <message>
        <source>PrgT</source>
        <translation>Tпр</translation>
    </message>
    <message>
        <source>mS</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>Wr/Comp Mask</source>
        <translation>Маска з/с</translation>
    </message>
    <message>
        <source>PrgC</source>
        <translation>Nпр</translation>
    </message>
    <message>
        <source>t-s</source>
        <translation>раз</translation>
    </message>
    <message>
        <source>No home folder is known for this user: the settings are not saved.</source>
        <translation>Домашняя папка этого пользователя неизвестна: параметры не сохранены.</translation>
    </message>
    <message>
        <source>Unable to write to %1</source>
        <translation>Не удаётся записать %1</translation>
    </message>
    <message>
        <source>The folder %1 is not yours alone (another user owns it or may write in it): the settings are not saved there.</source>
        <translation>Папка %1 принадлежит не только вам (её владелец — другой пользователь, или в неё могут писать другие): параметры туда не сохранены.</translation>
    </message>
</context>
<context>
    <name>pt4::THexedit</name>
    <message>
        <source>Hexedit</source>
        <translation>Просмотр HEX</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>pt4::Ui</name>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Открыть</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Неизвестная ошибка</translation>
    </message>
    <message>
        <source>Can not create system file ...</source>
        <translation>Не удаётся создать системный файл ...</translation>
    </message>
</context>
</TS>
