#include "messages/StatusText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// The expected texts write "~" for the no-break space that keeps a number with its unit.
std::string nb(std::string text) {
  for (std::size_t at = text.find('~'); at != std::string::npos; at = text.find('~', at)) {
    text.replace(at, 1, "\u00A0");
  }
  return text;
}

TEST(StatusText, EveryLanguageWritesTheLineAndTheRetry) {
  struct Row {
    const char* tag;
    const char* line;   // 12.4 MB of 48.0 MB at 3.1 MB/s, 15 s left
    const char* bytes;  // 12.4 MB, no total known
    const char* retry;  // a pause of 4 s
  };
  const Row rows[kLanguageCount + 1] = {
      {"de", "12,4~MB von 48,0~MB (3,1~MB/s), noch etwa 15 Sekunden", "12,4~MB empfangen",
       "Verbindung unterbrochen. Neuer Versuch in 4 Sekunden."},
      {"en", "12.4~MB of 48.0~MB (3.1~MB/s), about 15 seconds left", "12.4~MB received",
       "Connection lost. Trying again in 4 seconds."},
      {"es", "12,4~MB de 48,0~MB (3,1~MB/s), quedan unos 15 segundos", "12,4~MB recibidos",
       "Se perdió la conexión. Se volverá a intentar en 4 segundos."},
      {"fr", "12,4~Mo sur 48,0~Mo (3,1~Mo/s), environ 15 secondes restantes", "12,4~Mo reçus",
       "Connexion perdue. Nouvelle tentative dans 4 secondes."},
      {"it", "12,4~MB di 48,0~MB (3,1~MB/s), circa 15 secondi rimanenti", "12,4~MB ricevuti",
       "Connessione persa. Nuovo tentativo tra 4 secondi."},
      {"ja", "48.0~MB 中 12.4~MB（3.1~MB/秒）、残り約 15 秒", "12.4~MB 受信済み",
       "接続が切断されました。4 秒後に再試行します。"},
      {"ko", "48.0MB 중 12.4MB (3.1MB/초), 약 15초 남음", "12.4MB 받음",
       "연결이 끊어졌습니다. 4초 후에 다시 시도합니다."},
      {"pt", "12,4~MB de 48,0~MB (3,1~MB/s), cerca de 15 segundos restantes", "12,4~MB recebidos",
       "Conexão perdida. Nova tentativa em 4 segundos."},
      {"ru", "12,4~МБ из 48,0~МБ (3,1~МБ/с), осталось примерно 15 секунд", "Получено 12,4~МБ",
       "Соединение потеряно. Повторная попытка через 4 секунды."},
      {"zh-Hans", "12.4~MB / 48.0~MB（3.1~MB/秒），大约还剩 15 秒", "已接收 12.4~MB",
       "连接已断开。将在 4 秒后重试。"},
      {"zh-Hant", "12.4~MB / 48.0~MB（3.1~MB/秒），大約還剩 15 秒", "已接收 12.4~MB",
       "連線已中斷。將在 4 秒後重試。"},
      {"cs", "12,4~MB z 48,0~MB (3,1~MB/s), zbývá asi 15 sekund", "Přijato 12,4~MB",
       "Připojení bylo ztraceno. Nový pokus za 4 sekundy."},
      {"nl", "12,4~MB van 48,0~MB (3,1~MB/s), nog ongeveer 15 seconden", "12,4~MB ontvangen",
       "Verbinding verbroken. Nieuwe poging over 4 seconden."},
      {"pl", "12,4~MB z 48,0~MB (3,1~MB/s), pozostało około 15 sekund", "Odebrano 12,4~MB",
       "Utracono połączenie. Ponowna próba za 4 sekundy."},
      {"sv", "12,4~MB av 48,0~MB (3,1~MB/s), ungefär 15 sekunder kvar", "12,4~MB mottaget",
       "Anslutningen bröts. Försöker igen om 4 sekunder."},
      {"tr", "12,4~MB / 48,0~MB (3,1~MB/sn), yaklaşık 15 saniye kaldı", "12,4~MB alındı",
       "Bağlantı kesildi. 4 saniye sonra yeniden denenecek."},
      {"", "12.4~MB of 48.0~MB (3.1~MB/s), about 15 seconds left", "12.4~MB received",
       "Connection lost. Trying again in 4 seconds."},
  };
  for (int record = 0; record <= kLanguageCount; ++record) {
    const Row& row = rows[record];
    ASSERT_STREQ(allMessages[record].tag, row.tag) << "the table follows the catalogue's order";
    const StatusText words(record);
    EXPECT_EQ(words.progressLine(12'400'000, 48'000'000, 3'100'000.0, seconds(15)), nb(row.line))
        << row.tag;
    EXPECT_EQ(words.progressLine(12'400'000, -1, 3'100'000.0, seconds(15)), nb(row.bytes))
        << row.tag;
    EXPECT_EQ(words.retryLine(milliseconds(4000)), row.retry) << row.tag;
  }
}

TEST(StatusText, PluralRulesPickTheFormForTheCount) {
  struct Case {
    PluralRule rule;
    std::int64_t n;
    int form;
  };
  const Case cases[] = {
      {PluralRule::None, 1, 0},         {PluralRule::None, 5, 0},
      {PluralRule::OneOther, 1, 0},     {PluralRule::OneOther, 0, 1},
      {PluralRule::OneOther, 21, 1},    {PluralRule::ZeroOneOther, 0, 0},
      {PluralRule::ZeroOneOther, 2, 1}, {PluralRule::Russian, 1, 0},
      {PluralRule::Russian, 21, 0},     {PluralRule::Russian, 11, 2},
      {PluralRule::Russian, 3, 1},      {PluralRule::Russian, 22, 1},
      {PluralRule::Russian, 12, 2},     {PluralRule::Russian, 25, 2},
      {PluralRule::Russian, 111, 2},    {PluralRule::Czech, 1, 0},
      {PluralRule::Czech, 4, 1},        {PluralRule::Czech, 22, 2},
      {PluralRule::Czech, 5, 2},        {PluralRule::Polish, 1, 0},
      {PluralRule::Polish, 21, 2},      {PluralRule::Polish, 22, 1},
      {PluralRule::Polish, 14, 2},      {PluralRule::Polish, 104, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StatusText::pluralForm(c.rule, c.n), c.form)
        << "rule " << static_cast<int>(c.rule) << " n " << c.n;
  }

  // The forms in the texts are in the rule's order.
  const int ru = 8, cs = 11, pl = 13;
  EXPECT_EQ(StatusText(ru).timeLeft(seconds(60)), "осталась примерно 1 минута");
  EXPECT_EQ(StatusText(ru).timeLeft(seconds(22 * 60)), "осталось примерно 22 минуты");
  EXPECT_EQ(StatusText(ru).timeLeft(seconds(11 * 3600)), "осталось примерно 11 часов");
  EXPECT_EQ(StatusText(ru).timeLeft(seconds(21 * 3600)), "остался примерно 21 час");
  EXPECT_EQ(StatusText(cs).timeLeft(seconds(2 * 3600)), "zbývají asi 2 hodiny");
  EXPECT_EQ(StatusText(cs).timeLeft(seconds(60)), "zbývá asi 1 minuta");
  EXPECT_EQ(StatusText(cs).retryLine(milliseconds(1000)),
            "Připojení bylo ztraceno. Nový pokus za 1 sekundu.");
  EXPECT_EQ(StatusText(pl).timeLeft(seconds(60)), "pozostało około 1 minuty");
  EXPECT_EQ(StatusText(pl).retryLine(milliseconds(2000)),
            "Utracono połączenie. Ponowna próba za 2 sekundy.");
  EXPECT_EQ(StatusText(pl).retryLine(milliseconds(8000)),
            "Utracono połączenie. Ponowna próba za 8 sekund.");
}

TEST(StatusText, SizesAndTimesRoundAsAPersonReadsThem) {
  const StatusText en(1);
  EXPECT_EQ(en.size(0), nb("0~B"));
  EXPECT_EQ(en.size(999), nb("999~B"));
  EXPECT_EQ(en.size(1000), nb("1.0~kB"));
  EXPECT_EQ(en.size(999'949), nb("999.9~kB"));
  EXPECT_EQ(en.size(999'950), nb("1.0~MB")) << "1000.0 kB is written in the next unit";
  EXPECT_EQ(en.size(4'294'967'296), nb("4.3~GB"));
  EXPECT_EQ(en.size(2'000'000'000'000), nb("2000.0~GB")) << "no unit above GB";
  EXPECT_EQ(en.rate(1499.0), nb("1.5~kB/s"));
  EXPECT_EQ(en.timeLeft(seconds(1)), "about 1 second left");
  EXPECT_EQ(en.timeLeft(seconds(55)), "about 55 seconds left");
  EXPECT_EQ(en.timeLeft(seconds(60)), "about 1 minute left");
  EXPECT_EQ(en.timeLeft(seconds(59 * 60)), "about 59 minutes left");
  EXPECT_EQ(en.timeLeft(seconds(7200)), "about 2 hours left");
  EXPECT_EQ(en.retryLine(milliseconds(1500)), "Connection lost. Trying again in 2 seconds.")
      << "a pause is never announced shorter than it is";
  EXPECT_EQ(en.progressLine(100, 900, 10.0, std::nullopt), nb("100~B of 900~B (10~B/s)"))
      << "no time left given";
}

TEST(StatusText, ProgressTextsComeAfterTheElevenInTheChosenLanguage) {
  embeddedStringLocale = 3;  // French
  EXPECT_EQ(LocalizedStrings::getStatusMessage(ACCESSIBLE_PROGRESS_BAR),
            "Progression du téléchargement");
  EXPECT_FALSE(LocalizedStrings::getStatusMessage(ERROR_UPDATE_NOT_ALLOWED));
  EXPECT_FALSE(LocalizedStrings::getStatusMessage(ACCESSIBLE_STATUS_LINE + 1));
  EXPECT_FALSE(LocalizedStrings::getEmbeddedMessage(STATUS_OF_TOTAL)) << "0 to 10 only";
  for (int record = 0; record <= kLanguageCount; ++record) {
    for (int i = 0; i < kStatusMessageCount; ++i) {
      EXPECT_NE(allStatusMessages[record].messages[i], nullptr) << record << " " << i;
    }
  }
  embeddedStringLocale = -1;
}

}  // namespace
