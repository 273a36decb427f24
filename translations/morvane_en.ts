<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>morvane::Ui</name>
    <message>
        <source>Ошибка чтения файла </source>
        <translation>Error reading file </translation>
    </message>
    <message>
        <source>Ошибка в файле </source>
        <translation>Error in file </translation>
    </message>
    <message>
        <source>Файлы не добавлены: </source>
        <translation>Files not added: </translation>
    </message>
    <message>
        <source>Файл </source>
        <translation>File </translation>
    </message>
    <message>
        <source> не добавлен: </source>
        <translation> not added: </translation>
    </message>
    <message>
        <source>Имя файла не подходит для CP/M (8.3): </source>
        <translation>File name does not suit CP/M (8.3): </translation>
    </message>
    <message>
        <source>Новое имя файла:</source>
        <translation>New file name:</translation>
    </message>
    <message>
        <source>Файл не переименован: </source>
        <translation>File not renamed: </translation>
    </message>
    <message>
        <source>Файлы не удалены: </source>
        <translation>Files not deleted: </translation>
    </message>
    <message>
        <source>Описание диска</source>
        <translation>Disk details</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Обновить</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Ошибка записи файла </source>
        <translation>Error writing file </translation>
    </message>
    <message>
        <source>Каталог диска CP/M</source>
        <translation>CP/M disk catalogue</translation>
    </message>
    <message>
        <source>Ошибка в CP/M каталоге!</source>
        <translation>Error in the CP/M catalogue!</translation>
    </message>
    <message>
        <source>Файл существует! Перезаписать?!</source>
        <translation>The file exists! Overwrite it?</translation>
    </message>
    <message>
        <source>Просмотр файла в HEX виде.</source>
        <translation>File in hex.</translation>
    </message>
    <message>
        <source>Просмотр файла в TXT виде.</source>
        <translation>File as text.</translation>
    </message>
    <message>
        <source>Удаленных файлов</source>
        <translation>Deleted files</translation>
    </message>
    <message>
        <source>Тип дискеты</source>
        <translation>Disk type</translation>
    </message>
    <message>
        <source>Свободный сектор</source>
        <translation>First free sector</translation>
    </message>
    <message>
        <source>Просмотр картинки</source>
        <translation>View picture</translation>
    </message>
    <message>
        <source>Просмотр HEX</source>
        <translation>View hex</translation>
    </message>
    <message>
        <source>Просмотр текста</source>
        <translation>View text</translation>
    </message>
    <message>
        <source>Показать удаленные файлы</source>
        <translation>Show deleted files</translation>
    </message>
    <message>
        <source>Показать скрытые файлы</source>
        <translation>Show hidden files</translation>
    </message>
    <message>
        <source>Переименовать</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>Добавить файл(ы)</source>
        <translation>Add file(s)</translation>
    </message>
    <message>
        <source>Удалить файл(ы)</source>
        <translation>Delete file(s)</translation>
    </message>
    <message>
        <source>Сохранить как</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>Файл %1 уже существует! Перезаписать?</source>
        <translation>The file %1 already exists! Overwrite it?</translation>
    </message>
    <message>
        <source>Каталог диска TR-DOS</source>
        <translation>TR-DOS disk catalogue</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить выбранные Файлы?</source>
        <translation>Do you really want to delete the selected files?</translation>
    </message>
    <message>
        <source>Директория сохранения Хобетных файлов!</source>
        <translation>Folder to save the Hobeta files in</translation>
    </message>
    <message>
        <source>Сохранить файл(ы) в SCL..!</source>
        <translation>Save file(s) as SCL</translation>
    </message>
    <message>
        <source>Имя диска!</source>
        <translation>Disk name</translation>
    </message>
    <message>
        <source>Задайте имя диска (8 символов максимум)</source>
        <translation>Enter the disk name (8 characters at most)</translation>
    </message>
    <message>
        <source>Имя:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>&amp;Принять</source>
        <translation>&amp;Accept</translation>
    </message>
    <message>
        <source>&amp;Отменить</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>Просмотр экрана</source>
        <translation>View screen</translation>
    </message>
    <message>
        <source>Уплотнить</source>
        <translation>Compact</translation>
    </message>
    <message>
        <source>Сменить имя диска</source>
        <translation>Rename disk</translation>
    </message>
    <message>
        <source>Сохранить hob</source>
        <translation>Save hob</translation>
    </message>
    <message>
        <source>Сохранить scl</source>
        <translation>Save scl</translation>
    </message>
    <message>
        <source>Редактировать заголовок</source>
        <translation>Edit header</translation>
    </message>
    <message>
        <source>Запись диска</source>
        <translation>Writing the disk</translation>
    </message>
    <message>
        <source>Форматировать диск</source>
        <translation>Format disk</translation>
    </message>
    <message>
        <source>Разметить диск под TR-DOS (16 секторов по 256 байт)?
&quot;Нет&quot; - под CP/M Profi (5 секторов по 1024 байта).</source>
        <translation>Format the disk for TR-DOS (16 sectors of 256 bytes)?
&quot;No&quot; formats it for Profi CP/M (5 sectors of 1024 bytes).</translation>
    </message>
    <message>
        <source>Форматирование диска</source>
        <translation>Formatting the disk</translation>
    </message>
    <message>
        <source>Внимание!</source>
        <translation>Attention!</translation>
    </message>
    <message>
        <source>Образ изменён! Сохранить изменения?</source>
        <translation>The image has changed! Save the changes?</translation>
    </message>
    <message>
        <source>Ошибка записи файла - </source>
        <translation>Error writing file - </translation>
    </message>
    <message>
        <source>Неизвестный формат файла - </source>
        <translation>Unknown file format - </translation>
    </message>
    <message>
        <source>Запись образа в формате %1 не поддерживается</source>
        <translation>Saving an image as %1 is not supported</translation>
    </message>
    <message>
        <source> (Дорожек - %1)</source>
        <translation> (tracks - %1)</translation>
    </message>
    <message>
        <source>Сохранить образ диска в файл...</source>
        <translation>Save the disk image to a file...</translation>
    </message>
    <message>
        <source>&amp;Настройки</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>&amp;Настройки программы</source>
        <translation>&amp;Program settings</translation>
    </message>
    <message>
        <source>&amp;Образ</source>
        <translation>&amp;Image</translation>
    </message>
    <message>
        <source>Соз&amp;дать образ</source>
        <translation>&amp;New image</translation>
    </message>
    <message>
        <source>&amp;TR-DOS диска</source>
        <translation>&amp;TR-DOS disk</translation>
    </message>
    <message>
        <source>&amp;CP/M диска (Profi)</source>
        <translation>&amp;CP/M disk (Profi)</translation>
    </message>
    <message>
        <source>&amp;Загрузить</source>
        <translation>&amp;Load</translation>
    </message>
    <message>
        <source>Загрузить &amp;как...</source>
        <translation>Load &amp;as...</translation>
    </message>
    <message>
        <source>Загрузить UDI</source>
        <translation>Load UDI</translation>
    </message>
    <message>
        <source>Загрузить TRD</source>
        <translation>Load TRD</translation>
    </message>
    <message>
        <source>Загрузить TD0</source>
        <translation>Load TD0</translation>
    </message>
    <message>
        <source>Загрузить FDI</source>
        <translation>Load FDI</translation>
    </message>
    <message>
        <source>&amp;Очистить образ</source>
        <translation>&amp;Clear image</translation>
    </message>
    <message>
        <source>&amp;Шаблон дорожек</source>
        <translation>T&amp;rack template</translation>
    </message>
    <message>
        <source>Редактировать базовый шаблон</source>
        <translation>Edit the base template</translation>
    </message>
    <message>
        <source>Просмотреть &amp;ZX каталог</source>
        <translation>View &amp;ZX catalogue</translation>
    </message>
    <message>
        <source>Просмотреть &amp;CP/M каталог</source>
        <translation>View C&amp;P/M catalogue</translation>
    </message>
    <message>
        <source>&amp;Сохранить</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>Сохранить к&amp;ак...</source>
        <translation>Sa&amp;ve as...</translation>
    </message>
    <message>
        <source>Сохранить UDI</source>
        <translation>Save UDI</translation>
    </message>
    <message>
        <source>Сохранить TRD</source>
        <translation>Save TRD</translation>
    </message>
    <message>
        <source>Сохранить TD0</source>
        <translation>Save TD0</translation>
    </message>
    <message>
        <source>Сохранить FDI</source>
        <translation>Save FDI</translation>
    </message>
    <message>
        <source>&amp;Выход</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;Диск</source>
        <translation>&amp;Disk</translation>
    </message>
    <message>
        <source>&amp;Полное чтение диска</source>
        <translation>&amp;Full disk read</translation>
    </message>
    <message>
        <source>Чтение &amp;сырых данных</source>
        <translation>Read &amp;raw data</translation>
    </message>
    <message>
        <source>Сканирование &amp;дорожек</source>
        <translation>Scan &amp;tracks</translation>
    </message>
    <message>
        <source>Чтение секторов по  &amp;меткам</source>
        <translation>Read sectors by &amp;marks</translation>
    </message>
    <message>
        <source>Сканирование и &amp;чтение секторов диска</source>
        <translation>Scan &amp;and read the disk&apos;s sectors</translation>
    </message>
    <message>
        <source>&amp;Быстрое чтение диска</source>
        <translation>Fa&amp;st disk read</translation>
    </message>
    <message>
        <source>П&amp;еречитать сбойные сектора</source>
        <translation>Re-read fai&amp;led sectors</translation>
    </message>
    <message>
        <source>&amp;Форматировать диск</source>
        <translation>F&amp;ormat disk</translation>
    </message>
    <message>
        <source>&amp;Записать диск</source>
        <translation>&amp;Write disk</translation>
    </message>
    <message>
        <source>Считать ZX &amp;каталог</source>
        <translation>Read ZX &amp;catalogue</translation>
    </message>
    <message>
        <source>&amp;Контроллер</source>
        <translation>&amp;Controller</translation>
    </message>
    <message>
        <source>Поиск USB устройства</source>
        <translation>Find USB device</translation>
    </message>
    <message>
        <source>Сб&amp;росить ZX контроллер</source>
        <translation>R&amp;eset ZX controller</translation>
    </message>
    <message>
        <source>Дисковод (&amp;А:)</source>
        <translation>Drive (&amp;A:)</translation>
    </message>
    <message>
        <source>Дисковод (&amp;В:)</source>
        <translation>Drive (&amp;B:)</translation>
    </message>
    <message>
        <source>Сохранить образ</source>
        <translation>Save image</translation>
    </message>
    <message>
        <source>Сохранить в формате UDI</source>
        <translation>Save as UDI</translation>
    </message>
    <message>
        <source>Очистить образ</source>
        <translation>Clear image</translation>
    </message>
    <message>
        <source>Язык интерфейса сменится при следующем запуске программы.</source>
        <translation>The interface language changes the next time the program starts.</translation>
    </message>
    <message>
        <source>Принять</source>
        <translation>Accept</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Комментарии к диску</source>
        <translation>Disk comments</translation>
    </message>
    <message>
        <source>Сектор -</source>
        <translation>Sector -</translation>
    </message>
    <message>
        <source>Дорожка -</source>
        <translation>Track -</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Число повторений ошибочных операций 
без перемещения головок.</source>
        <translation>Number of retries of a failed operation
without moving the heads.</translation>
    </message>
    <message>
        <source>Число циков повторений со сбросом
контроллера. </source>
        <translation>Number of retry cycles with a reset
of the controller. </translation>
    </message>
    <message>
        <source>Число циклов полного чтения дорожки,
для более точного определения данных полей
и маркеров.</source>
        <translation>Number of full reads of a track,
to determine the field data and the marks
more exactly.</translation>
    </message>
    <message>
        <source>Время ожидания ответа от контроллера.</source>
        <translation>How long to wait for the controller to answer.</translation>
    </message>
    <message>
        <source>Реставрировать образ дорожки</source>
        <translation>Restore the track image</translation>
    </message>
    <message>
        <source>Данные пробелов дорожки полученные 
при полном чтении будут заменятся 
стандартными значениями.  </source>
        <translation>The gap bytes of a track got by a full read
are replaced by the standard values. </translation>
    </message>
    <message>
        <source>Сжимать TD0 образ при записи</source>
        <translation>Compress TD0 images when saving</translation>
    </message>
    <message>
        <source>Производить сжатие образа 
при записи его в TD0 файл.</source>
        <translation>Compress the image
when saving it as a TD0 file.</translation>
    </message>
    <message>
        <source>Преобразовывать данные дорожки</source>
        <translation>Convert the track data</translation>
    </message>
    <message>
        <source>Производить или нет реставрацию данных дорожки 
при отображении их в правом окне.</source>
        <translation>Whether to restore the track data
when showing it in the right-hand pane.</translation>
    </message>
    <message>
        <source>Устанавливать длинну сектора из заголовка</source>
        <translation>Take the sector length from its header</translation>
    </message>
    <message>
        <source>При отображении данных сектора использовать
размер установленный в заголовке сектора или
фактически считанный размер.</source>
        <translation>When showing a sector&apos;s data, use the size
given in the sector header or the size
actually read.</translation>
    </message>
    <message>
        <source>Повторы</source>
        <translation>Retries</translation>
    </message>
    <message>
        <source>Число повторов -</source>
        <translation>Retries -</translation>
    </message>
    <message>
        <source>Число циклов -</source>
        <translation>Cycles -</translation>
    </message>
    <message>
        <source>Обрабатываемая область</source>
        <translation>Area to process</translation>
    </message>
    <message>
        <source>Начальная дорожка -</source>
        <translation>First track -</translation>
    </message>
    <message>
        <source>Конечная дорожка -</source>
        <translation>Last track -</translation>
    </message>
    <message>
        <source>Полное чтение дорожки</source>
        <translation>Full track read</translation>
    </message>
    <message>
        <source>Таймаут</source>
        <translation>Time-out</translation>
    </message>
    <message>
        <source>Время ожидания, с -</source>
        <translation>Wait, s -</translation>
    </message>
    <message>
        <source>Образы</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Как в системе</source>
        <translation>System default</translation>
    </message>
    <message>
        <source>Язык сменится при следующем запуске программы.</source>
        <translation>The language changes the next time the program starts.</translation>
    </message>
    <message>
        <source>Язык интерфейса</source>
        <translation>Interface language</translation>
    </message>
    <message>
        <source>Старт USB устройства</source>
        <translation>Start USB device</translation>
    </message>
    <message>
        <source>Стоп USB устройства</source>
        <translation>Stop USB device</translation>
    </message>
    <message>
        <source>USB устройство остановлено!</source>
        <translation>USB device stopped!</translation>
    </message>
    <message>
        <source>USB устройство не найдено!</source>
        <translation>USB device not found!</translation>
    </message>
    <message>
        <source>ZX контроллер не найден...</source>
        <translation>ZX controller not found...</translation>
    </message>
    <message>
        <source>Файл уже существует! Перезаписать?</source>
        <translation>The file already exists! Overwrite it?</translation>
    </message>
    <message>
        <source>Виртуальный контроллер</source>
        <translation>Virtual controller</translation>
    </message>
    <message>
        <source>Образ в виртуальном дисководе...</source>
        <translation>Image in the virtual drive...</translation>
    </message>
    <message>
        <source>Не удалось загрузить образ в виртуальный дисковод: </source>
        <translation>Could not load the image into the virtual drive: </translation>
    </message>
    <message>
        <source>Контроллер: USB</source>
        <translation>Controller: USB</translation>
    </message>
    <message>
        <source>демонстрационный диск</source>
        <translation>demonstration disk</translation>
    </message>
    <message>
        <source>Виртуальный контроллер: </source>
        <translation>Virtual controller: </translation>
    </message>
    <message>
        <source>Операци с образом</source>
        <translation>Image operations</translation>
    </message>
    <message>
        <source>Ошибка!</source>
        <translation>Error!</translation>
    </message>
    <message>
        <source>Ошибка..!</source>
        <translation>Error!</translation>
    </message>
    <message>
        <source>Внимание..!</source>
        <translation>Attention!</translation>
    </message>
    <message>
        <source>Ошибка чтения</source>
        <translation>Read error</translation>
    </message>
    <message>
        <source>Очиска RAW дорожки!</source>
        <translation>Clear raw track</translation>
    </message>
    <message>
        <source>Очистка образа..</source>
        <translation>Clear image</translation>
    </message>
    <message>
        <source>Использовать базовый шаблон для всех дорожек</source>
        <translation>Use the base template for every track</translation>
    </message>
    <message>
        <source>Сектор для чтения не выбран!</source>
        <translation>No sector chosen to read!</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить данные дорожки?</source>
        <translation>Do you really want to delete the track data?</translation>
    </message>
    <message>
        <source>Вы действительно хотите очистить образ?</source>
        <translation>Do you really want to clear the image?</translation>
    </message>
    <message>
        <source>Время ожидания вышло...</source>
        <translation>Timed out...</translation>
    </message>
    <message>
        <source>Время ожидания вышло..!</source>
        <translation>Timed out!</translation>
    </message>
    <message>
        <source>Время ожидания контроллера вышло.</source>
        <translation>The controller did not answer in time.</translation>
    </message>
    <message>
        <source>Время ожидания контроллера вышло!</source>
        <translation>The controller did not answer in time!</translation>
    </message>
    <message>
        <source>Число дорожек превышает 166 ...</source>
        <translation>More than 166 tracks...</translation>
    </message>
    <message>
        <source>Сектор для записи не выбран!</source>
        <translation>No sector chosen to write!</translation>
    </message>
    <message>
        <source>Сектор в карте диска выключен!</source>
        <translation>The sector is switched off in the disk map!</translation>
    </message>
    <message>
        <source>Не стандартный размер сектора в памяти!</source>
        <translation>The sector in memory has a non-standard size!</translation>
    </message>
    <message>
        <source>Нет секторов для чтения!</source>
        <translation>No sectors to read!</translation>
    </message>
    <message>
        <source>Считанное сохранено.</source>
        <translation>What was read is kept.</translation>
    </message>
    <message>
        <source>Диск отсутствует.</source>
        <translation>No disk.</translation>
    </message>
    <message>
        <source>Диск отсутствует!</source>
        <translation>No disk!</translation>
    </message>
    <message>
        <source>Диск защищен от записи!</source>
        <translation>The disk is write-protected!</translation>
    </message>
    <message>
        <source>Ошибка позиционирования.</source>
        <translation>Seek error.</translation>
    </message>
    <message>
        <source>Ошибка позиционирования!</source>
        <translation>Seek error!</translation>
    </message>
    <message>
        <source>Полное чтение диска</source>
        <translation>Full disk read</translation>
    </message>
    <message>
        <source>Чтение сырых данных дорожек</source>
        <translation>Reading raw track data</translation>
    </message>
    <message>
        <source>Сканирование дорожек диска</source>
        <translation>Scanning the disk&apos;s tracks</translation>
    </message>
    <message>
        <source>Посекторное чтение диска</source>
        <translation>Reading the disk sector by sector</translation>
    </message>
    <message>
        <source>Сканирование с посекторным чтением</source>
        <translation>Scanning with sector reads</translation>
    </message>
    <message>
        <source>Быстрое чтение диска</source>
        <translation>Fast disk read</translation>
    </message>
    <message>
        <source>Ошибка смены дисковода</source>
        <translation>Could not change the drive</translation>
    </message>
    <message>
        <source>Нет диска в дисководе...</source>
        <translation>No disk in the drive...</translation>
    </message>
    <message>
        <source>Нет доступа к USB устройству!</source>
        <translation>No access to the USB device!</translation>
    </message>
    <message>
        <source>Контроллер занят: дождитесь конца текущей операции.</source>
        <translation>The controller is busy: wait until the current operation ends.</translation>
    </message>
    <message>
        <source>Связь с контроллером потеряна.</source>
        <translation>The link to the controller is lost.</translation>
    </message>
    <message>
        <source>Образ не соответствует CP/M диску!</source>
        <translation>The image is not a CP/M disk!</translation>
    </message>
    <message>
        <source>Количество файлов</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>Занято</source>
        <translation>Used</translation>
    </message>
    <message>
        <source>Свободно</source>
        <translation>Free</translation>
    </message>
    <message>
        <source>кБ</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>80-дорожек</source>
        <translation>80 tracks</translation>
    </message>
    <message>
        <source>40-дорожек</source>
        <translation>40 tracks</translation>
    </message>
    <message>
        <source>Не определено</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>Образ не соответствует стандартному TR-DOS диску!</source>
        <translation>The image is not a standard TR-DOS disk!</translation>
    </message>
    <message>
        <source>Диск не соответствует формату TR-DOS!.</source>
        <translation>The disk is not in TR-DOS format!</translation>
    </message>
    <message>
        <source>Файлы для сохранения не выбраны..!</source>
        <translation>No files chosen to save!</translation>
    </message>
    <message>
        <source>Название дискеты</source>
        <translation>Disk name</translation>
    </message>
    <message>
        <source>Свободная дорожка</source>
        <translation>First free track</translation>
    </message>
    <message>
        <source>Свободных секторов</source>
        <translation>Free sectors</translation>
    </message>
    <message>
        <source>Универсальный образ диска (*.udi)</source>
        <translation>Universal disk image (*.udi)</translation>
    </message>
    <message>
        <source>Ошибка создания образа UDI</source>
        <translation>Could not build the UDI image</translation>
    </message>
    <message>
        <source>Файл образа TRDOS диска (*.trd)</source>
        <translation>TR-DOS disk image file (*.trd)</translation>
    </message>
    <message>
        <source>Загрузить образ TRD диска из файла..</source>
        <translation>Load a TRD disk image from a file</translation>
    </message>
    <message>
        <source>Сохранить образ в TRD файл..</source>
        <translation>Save the image as a TRD file</translation>
    </message>
    <message>
        <source>Образ стандартного TRDOS диска (*.trd)</source>
        <translation>Standard TR-DOS disk image (*.trd)</translation>
    </message>
    <message>
        <source>Образ диска TeleDisk (*.td0)</source>
        <translation>TeleDisk disk image (*.td0)</translation>
    </message>
    <message>
        <source>Сохранить образ TD0 со сжатием (LZH)?</source>
        <translation>Save the TD0 image compressed (LZH)?</translation>
    </message>
    <message>
        <source>Загрузить образ Teledisk из файла..</source>
        <translation>Load a TeleDisk image from a file</translation>
    </message>
    <message>
        <source>Полный образ диска (*.fdi)</source>
        <translation>Full disk image (*.fdi)</translation>
    </message>
    <message>
        <source>Загрузить образ FDI из файла..</source>
        <translation>Load an FDI image from a file</translation>
    </message>
    <message>
        <source>Образ диска (*.fdi)</source>
        <translation>Disk image (*.fdi)</translation>
    </message>
    <message>
        <source>Архив файлов TR-DOS (*.scl)</source>
        <translation>TR-DOS file archive (*.scl)</translation>
    </message>
    <message>
        <source>Файл Hobeta (*.$?)</source>
        <translation>Hobeta file (*.$?)</translation>
    </message>
    <message>
        <source>Загрузить образ диска из файла..</source>
        <translation>Load a disk image from a file</translation>
    </message>
    <message>
        <source>Сохранить образ диска в файл..</source>
        <translation>Save the disk image to a file</translation>
    </message>
    <message>
        <source>Поддерживаемые форматы</source>
        <translation>Supported formats</translation>
    </message>
    <message>
        <source>Все файлы (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>Файлы CP/M Profi (*.cpm)</source>
        <translation>Profi CP/M files (*.cpm)</translation>
    </message>
    <message>
        <source>Считать RAW дорожки</source>
        <translation>Read raw track</translation>
    </message>
    <message>
        <source>Считать сектора дорожки</source>
        <translation>Read the track&apos;s sectors</translation>
    </message>
    <message>
        <source>Сканировать дорожку</source>
        <translation>Scan track</translation>
    </message>
    <message>
        <source>Записать дорожку</source>
        <translation>Write track</translation>
    </message>
    <message>
        <source>Формат дорожки</source>
        <translation>Format track</translation>
    </message>
    <message>
        <source>RAW -&gt; заголовки секторов</source>
        <translation>Raw -&gt; sector headers</translation>
    </message>
    <message>
        <source>Убрать дорожку</source>
        <translation>Remove track</translation>
    </message>
    <message>
        <source>Данные скторов -&gt; RAW</source>
        <translation>Sector data -&gt; raw</translation>
    </message>
    <message>
        <source>Очистить дорожку</source>
        <translation>Clear track</translation>
    </message>
    <message>
        <source>Очистить данные секторов</source>
        <translation>Clear sector data</translation>
    </message>
    <message>
        <source>Очистить заголовки секторов</source>
        <translation>Clear sector headers</translation>
    </message>
    <message>
        <source>Добавить дорожку</source>
        <translation>Add track</translation>
    </message>
    <message>
        <source>Установить базовым трэком</source>
        <translation>Make it the base track</translation>
    </message>
    <message>
        <source>Очистить Log дорожки</source>
        <translation>Clear the track log</translation>
    </message>
    <message>
        <source>Считать сектор</source>
        <translation>Read sector</translation>
    </message>
    <message>
        <source>Записать сектор</source>
        <translation>Write sector</translation>
    </message>
    <message>
        <source>Убрать сектор</source>
        <translation>Remove sector</translation>
    </message>
    <message>
        <source>Добавить сектор</source>
        <translation>Add sector</translation>
    </message>
    <message>
        <source>Очистить данные сектора</source>
        <translation>Clear the sector&apos;s data</translation>
    </message>
    <message>
        <source>Очистить заголовок сектора</source>
        <translation>Clear the sector&apos;s header</translation>
    </message>
    <message>
        <source>Редактировать адрес сектора</source>
        <translation>Edit the sector address</translation>
    </message>
    <message>
        <source>Шрифт</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>Выделить все</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Редактор сектора</source>
        <translation>Sector editor</translation>
    </message>
    <message>
        <source>Заголовок</source>
        <translation>Header</translation>
    </message>
    <message>
        <source>Без ошибок</source>
        <translation>No errors</translation>
    </message>
    <message>
        <source>Файл сектора (*.sec)</source>
        <translation>Sector file (*.sec)</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Загрузить</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Вы хотитете принять изменения сектора?</source>
        <translation>Accept the changes to the sector?</translation>
    </message>
    <message>
        <source>Вы хотитете принять изменения дорожки?</source>
        <translation>Accept the changes to the track?</translation>
    </message>
    <message>
        <source>Сохранить сектор...</source>
        <translation>Save sector...</translation>
    </message>
    <message>
        <source>Не удалось записать файл!</source>
        <translation>Could not write the file!</translation>
    </message>
    <message>
        <source>Загрузить сектор...</source>
        <translation>Load sector...</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл!</source>
        <translation>Could not read the file!</translation>
    </message>
    <message>
        <source>Обозначения цветов...</source>
        <translation>Colour legend...</translation>
    </message>
    <message>
        <source>Дорожка с образом RAW (считана целиком)</source>
        <translation>Track with a raw image (read whole)</translation>
    </message>
    <message>
        <source>Дорожка без образа RAW</source>
        <translation>Track without a raw image</translation>
    </message>
    <message>
        <source>Сектор считан без ошибок</source>
        <translation>Sector read without errors</translation>
    </message>
    <message>
        <source>Сектор считан с ошибкой данных</source>
        <translation>Sector read with a data error</translation>
    </message>
    <message>
        <source>Заголовок сектора без данных</source>
        <translation>Sector header without data</translation>
    </message>
    <message>
        <source>Обозначения карты диска</source>
        <translation>Disk map legend</translation>
    </message>
    <message>
        <source>Пустая ячейка: дорожки или сектора нет в образе.</source>
        <translation>Empty cell: the track or sector is not in the image.</translation>
    </message>
    <message>
        <source>Масштаб %1×</source>
        <translation>Zoom %1×</translation>
    </message>
    <message>
        <source>Использовать базовый шаблон для всех дорожек (Трэк - %1)</source>
        <translation>Use the base template for every track (track - %1)</translation>
    </message>
    <message>
        <source>Ошибка - %1</source>
        <translation>Error - %1</translation>
    </message>
    <message>
        <source>Ошибка позиционирования. Дорожка - %1</source>
        <translation>Seek error. Track - %1</translation>
    </message>
    <message>
        <source>Дорожка %1: сектор %2 нестандартного размера (код %3) нельзя записать!</source>
        <translation>Track %1: sector %2 has a non-standard size (code %3) and cannot be written!</translation>
    </message>
    <message>
        <source>Дорожка %1: %2 секторов (%3 байт данных) не помещаются на дорожку: нужно %4 байт из %5!</source>
        <translation>Track %1: %2 sectors (%3 data bytes) do not fit on the track: they need %4 bytes of %5!</translation>
    </message>
    <message>
        <source>Дорожка %1: таблица форматирования из %2 элементов больше %3!</source>
        <translation>Track %1: the format table of %2 entries is longer than %3!</translation>
    </message>
    <message>
        <source>Нужны правило udev %1 (%2) и группа %3: установите правило, добавьте пользователя в группу и переподключите контроллер.</source>
        <translation>The udev rule %1 (%2) and the group %3 are needed: install the rule, add the user to the group and reconnect the controller.</translation>
    </message>
    <message>
        <source>Ошибка сектора - (track %1 sector %2)..!</source>
        <translation>Sector error - (track %1 sector %2)!</translation>
    </message>
    <message>
        <source>Сохранить...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>Сохранить листинг</source>
        <translation>Save the listing</translation>
    </message>
    <message>
        <source>Просмотр BASIC</source>
        <translation>View BASIC</translation>
    </message>
    <message>
        <source>Сохранить bin</source>
        <translation>Save bin</translation>
    </message>
    <message>
        <source>Сохранить tap</source>
        <translation>Save tap</translation>
    </message>
    <message>
        <source>Добавить файл bin</source>
        <translation>Add a bin file</translation>
    </message>
    <message>
        <source>Директория сохранения файлов bin!</source>
        <translation>Folder to save the bin files in</translation>
    </message>
    <message>
        <source>Сохранить файл(ы) в TAP..!</source>
        <translation>Save file(s) as a tape file</translation>
    </message>
    <message>
        <source>Файлы Hobeta, SCL и TAP (*.$?,*.scl,*.tap)</source>
        <translation>Hobeta, SCL and tape files (*.$?,*.scl,*.tap)</translation>
    </message>
    <message>
        <source>Файл ленты (*.tap)</source>
        <translation>Tape file (*.tap)</translation>
    </message>
    <message>
        <source>Текст (*.txt)</source>
        <translation>Text (*.txt)</translation>
    </message>
    <message>
        <source>Объединить с образом</source>
        <translation>Merge with an image</translation>
    </message>
    <message>
        <source>Объ&amp;единить с образом...</source>
        <translation>&amp;Merge with image...</translation>
    </message>
    <message>
        <source>&amp;Восстановить сбойные сектора...</source>
        <translation>Reco&amp;ver failed sectors...</translation>
    </message>
    <message>
        <source>Восстановить сбойные сектора</source>
        <translation>Recover failed sectors</translation>
    </message>
    <message>
        <source>Число проходов:</source>
        <translation>Number of passes:</translation>
    </message>
    <message>
        <source>Сектор восстановлен голосованием копий, CRC сошёлся</source>
        <translation>Sector recovered by the vote of its copies, the CRC matches</translation>
    </message>
    <message>
        <source>Лучшая догадка по копиям, CRC не подтверждён</source>
        <translation>Best guess from the copies, the CRC does not confirm it</translation>
    </message>
    <message>
        <source>%1 (цилиндр %2, сторона %3)</source>
        <translation>%1 (cylinder %2, side %3)</translation>
    </message>
    <message>
        <source>TR-DOS (16 секторов по 256 байт, имя диска &quot;%1&quot;)</source>
        <translation>TR-DOS (16 sectors of 256 bytes, disk name &quot;%1&quot;)</translation>
    </message>
    <message>
        <source>CP/M Profi (5 секторов по 1024 байта)</source>
        <translation>Profi CP/M (5 sectors of 1024 bytes)</translation>
    </message>
    <message>
        <source>Форматировать диск в дисководе %1 под %2?
Все 160 дорожек диска будут размечены заново: всё, что записано на диске, будет потеряно.</source>
        <translation>Format the disk in drive %1 as %2?
All 160 tracks of the disk are formatted anew: everything written on the disk is lost.</translation>
    </message>
    <message>
        <source>Записать образ на диск в дисководе %1?
Дорожки диска с %2 по %3, которые есть в образе (%4), будут размечены заново: всё, что на них записано, будет потеряно.</source>
        <translation>Write the image onto the disk in drive %1?
The disk&apos;s tracks %2 to %3 that the image holds (%4) are formatted anew: everything written on them is lost.</translation>
    </message>
    <message>
        <source>Разметить заново дорожку %1 на диске в дисководе %2?
Всё, что записано на этой дорожке, будет потеряно.</source>
        <translation>Format track %1 of the disk in drive %2 anew?
Everything written on this track is lost.</translation>
    </message>
    <message>
        <source>Записать дорожку %1 образа на диск в дисководе %2?
Дорожка будет размечена заново: всё, что на ней записано, будет потеряно.</source>
        <translation>Write track %1 of the image onto the disk in drive %2?
The track is formatted anew: everything written on it is lost.</translation>
    </message>
    <message>
        <source>Записать сектор %1 дорожки %2 на диск в дисководе %3?
То, что записано в этом секторе, будет потеряно.</source>
        <translation>Write sector %1 of track %2 onto the disk in drive %3?
What this sector holds now is lost.</translation>
    </message>
    <message>
        <source>прочитан без ошибки</source>
        <translation>read without an error</translation>
    </message>
    <message>
        <source>восстановлен голосованием, CRC сошёлся</source>
        <translation>recovered by the vote of its copies, the CRC matches</translation>
    </message>
    <message>
        <source>лучшая догадка, CRC не подтверждён</source>
        <translation>best guess, the CRC does not confirm it</translation>
    </message>
    <message>
        <source>данных нет</source>
        <translation>no data</translation>
    </message>
    <message>
        <source>Сектор %1: %2 (копий - %3)</source>
        <translation>Sector %1: %2 (copies: %3)</translation>
    </message>
    <message>
        <source>, хорошие копии различаются</source>
        <translation>, the good copies differ</translation>
    </message>
    <message>
        <source>Не удалось загрузить образ из файла %1</source>
        <translation>Cannot load the image from file %1</translation>
    </message>
    <message>
        <source>Файл образа неполон: </source>
        <translation>The image file is incomplete: </translation>
    </message>
    <message>
        <source>дорожка %1 сектор %2 считан с ошибкой</source>
        <translation>track %1 sector %2 read in error</translation>
    </message>
    <message>
        <source>дорожка %1 сектор %2 не считан</source>
        <translation>track %1 sector %2 not read</translation>
    </message>
    <message>
        <source>Не все сектора файлов считаны без ошибок:</source>
        <translation>Not every sector of these files was read without error:</translation>
    </message>
    <message>
        <source>Сохранить файлы как есть?</source>
        <translation>Save the files as they are?</translation>
    </message>
</context>
</TS>
