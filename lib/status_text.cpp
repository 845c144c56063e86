#include "zelva1.h"

extern "C" const char* zelva1_status_text(int status) {
    switch (status) {
    case ZELVA1_OK: return "выполнено";
    case ZELVA1_ERROR_NULL: return "нулевой указатель вместо адреса";
    case ZELVA1_ERROR_HANDLE: return "дескриптор закрыт или неизвестен";
    case ZELVA1_ERROR_CHANNEL: return "номер канала вне 1..8";
    case ZELVA1_ERROR_NO_CHANNEL: return "у модуля нет канала с этим номером";
    case ZELVA1_ERROR_INDEX: return "индекс ячейки или слова вне 0..255";
    case ZELVA1_ERROR_ARGUMENT: return "недопустимое значение аргумента";
    case ZELVA1_ERROR_NO_BOARD: return "модуль с этим индексом не открывается";
    case ZELVA1_ERROR_REQUEST: return "запрос к модулю не выполнен";
    case ZELVA1_ERROR_CONFIG: return "ошибка в конфигурации модулей-имитаторов";
    case ZELVA1_ERROR_FILE: return "файл не открывается";
    case ZELVA1_ERROR_LIMIT: return "открыто слишком много дескрипторов";
    case ZELVA1_ERROR_INTERNAL: return "нехватка памяти или внутренняя ошибка библиотеки";
    case ZELVA1_ERROR_CONTENT: return "ошибка в содержимом файла";
    case ZELVA1_ERROR_LABEL: return "в базе меток нет такой метки";
    case ZELVA1_ERROR_VALUE: return "значение не кодируется в слово";
    case ZELVA1_ERROR_BUS: return "канал не передаст столько слов с такими интервалами";
    default: return "неизвестный код состояния";
    }
}
