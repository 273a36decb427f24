// The texts of the plain C++ layers (model, operations, controller, filesystems, image
// files) that reach the window's boxes, dialogs and lists, marked for the translation
// tools; a text those layers make with numbers or names has them as %1, %2... here, and
// must read here exactly as the layer makes it. The log lines those layers write stay as
// they are and are not listed.
#include "ui/views/ShownText.h"

#include <QtGlobal>

#include <array>

namespace morvane {

namespace {

constexpr std::array kLayerTexts{
    // The boxes' captions.
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка..!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Внимание!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Внимание..!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка чтения"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Очиска RAW дорожки!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Очистка образа.."),
    // The image edits.
    QT_TRANSLATE_NOOP("morvane::Ui", "Использовать базовый шаблон для всех дорожек"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Использовать базовый шаблон для всех дорожек (Трэк - %1)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Сектор для чтения не выбран!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Вы действительно хотите удалить данные дорожки?"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Вы действительно хотите очистить образ?"),
    // The disk operations' messages.
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка - %1"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Время ожидания вышло..."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Время ожидания вышло..!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Время ожидания контроллера вышло."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Время ожидания контроллера вышло!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Число дорожек превышает 166 ..."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Сектор для записи не выбран!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Сектор в карте диска выключен!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Не стандартный размер сектора в памяти!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Нет секторов для чтения!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Считанное сохранено."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Диск отсутствует."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Диск отсутствует!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Диск защищен от записи!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка позиционирования."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка позиционирования!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка позиционирования. Дорожка - %1"),
    QT_TRANSLATE_NOOP("morvane::Ui",
                      "Дорожка %1: сектор %2 нестандартного размера (код %3) нельзя записать!"),
    QT_TRANSLATE_NOOP("morvane::Ui",
                      "Дорожка %1: %2 секторов (%3 байт данных) не помещаются на "
                      "дорожку: нужно %4 байт из %5!"),
    QT_TRANSLATE_NOOP("morvane::Ui",
                      "Дорожка %1: таблица форматирования из %2 элементов больше %3!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Полное чтение диска"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Чтение сырых данных дорожек"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Сканирование дорожек диска"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Посекторное чтение диска"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Сканирование с посекторным чтением"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Быстрое чтение диска"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Запись диска"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Форматирование диска"),
    // The controller link.
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка смены дисковода"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Нет диска в дисководе..."),
    QT_TRANSLATE_NOOP("morvane::Ui", "ZX контроллер не найден..."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Нет доступа к USB устройству!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Контроллер занят: дождитесь конца текущей операции."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Связь с контроллером потеряна."),
    QT_TRANSLATE_NOOP("morvane::Ui",
                      "Нужны правило udev %1 (%2) и группа %3: установите правило, "
                      "добавьте пользователя в группу и переподключите контроллер."),
    // The catalogues.
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка сектора - (track %1 sector %2)..!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Образ не соответствует CP/M диску!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Количество файлов"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Занято"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Свободно"),
    QT_TRANSLATE_NOOP("morvane::Ui", "кБ"),
    QT_TRANSLATE_NOOP("morvane::Ui", "80-дорожек"),
    QT_TRANSLATE_NOOP("morvane::Ui", "40-дорожек"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Не определено"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Образ не соответствует стандартному TR-DOS диску!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Диск не соответствует формату TR-DOS!."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Файлы для сохранения не выбраны..!"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Название дискеты"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Тип дискеты"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Свободный сектор"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Свободная дорожка"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Свободных секторов"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Удаленных файлов"),
    // The image files: the dialogs' titles and filters, the failures.
    QT_TRANSLATE_NOOP("morvane::Ui", "Универсальный образ диска (*.udi)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка создания образа UDI"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Файл образа TRDOS диска (*.trd)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Загрузить образ TRD диска из файла.."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить образ в TRD файл.."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Образ стандартного TRDOS диска (*.trd)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Образ диска TeleDisk (*.td0)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить образ TD0 со сжатием (LZH)?"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Загрузить образ Teledisk из файла.."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Полный образ диска (*.fdi)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Загрузить образ FDI из файла.."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Образ диска (*.fdi)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Архив файлов TR-DOS (*.scl)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Файл Hobeta (*.$?)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Загрузить образ диска из файла.."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить образ диска в файл.."),
    QT_TRANSLATE_NOOP("morvane::Ui", "Поддерживаемые форматы"),
    // The window's own file dialogs' filters, translated entry by entry.
    QT_TRANSLATE_NOOP("morvane::Ui", "Все файлы (*)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Файлы Hobeta, SCL и TAP (*.$?,*.scl,*.tap)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Файл ленты (*.tap)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Текст (*.txt)"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Файлы CP/M Profi (*.cpm)"),
};

}  // namespace

std::span<const char* const> LayerTexts() {
    return kLayerTexts;
}

}  // namespace morvane
