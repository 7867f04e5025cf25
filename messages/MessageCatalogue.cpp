// The texts of the catalogue, in every language the program speaks. Each text is written as a
// UTF-32 literal and stored as little-endian bytes, so the table reads the same on any host.
#include <array>
#include <cstddef>
#include <cstdint>

#include "messages/LocalizedStrings.h"

namespace {

template <std::size_t N>
consteval std::array<std::uint8_t, 4 * N> utf32le(const char32_t (&text)[N]) {
  std::array<std::uint8_t, 4 * N> bytes{};
  for (std::size_t i = 0; i < N; ++i) {
    bytes[4 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    bytes[4 * i + 1] = static_cast<std::uint8_t>((text[i] >> 8) & 0xFF);
    bytes[4 * i + 2] = static_cast<std::uint8_t>((text[i] >> 16) & 0xFF);
    bytes[4 * i + 3] = static_cast<std::uint8_t>((text[i] >> 24) & 0xFF);
  }
  return bytes;
}

// The texts are laid out by hand: each line of a message on a line of its own.
// clang-format off

// The pages the messages point to.
#define RUNTIME_DOWNLOAD_PAGE U"https://www.quillor.example/zanth/download"
#define SYSTEM_REQUIREMENTS_PAGE U"https://www.quillor.example/zanth/system-requirements"

// Texts shared by several languages.
constexpr auto kOk = utf32le(U"OK");
constexpr auto kCancelar = utf32le(U"Cancelar");
constexpr auto kInstalando = utf32le(U"Instalando ");
constexpr auto kQuXiao = utf32le(U"取消");

// English, also the default record.
constexpr auto kEn0 = utf32le(
    U"This application requires a version of Quillor Zanth which cannot be found.\n"
    U"Please download the latest version of the runtime from\n" RUNTIME_DOWNLOAD_PAGE
    U",\nor contact the application author for an updated version.");
constexpr auto kEn1 = utf32le(
    U"Something went wrong trying to install this application.\n"
    U"Please install the latest version of Quillor Zanth from\n" RUNTIME_DOWNLOAD_PAGE
    U" and then try again.");
constexpr auto kEn3 = utf32le(U"Cancel");
constexpr auto kEn4 = utf32le(U"Please wait.");
constexpr auto kEn5 = utf32le(
    U"Unable to download Quillor Zanth. Make sure that you’re connected to the network and try "
    U"again.");
constexpr auto kEn6 = utf32le(
    U"Unable to validate the downloaded version of Quillor Zanth.\n"
    U"Please install the latest version of Quillor Zanth from\n" RUNTIME_DOWNLOAD_PAGE
    U",\nthen retry installing this application.");
constexpr auto kEn7 = utf32le(U"Verifying download...");
constexpr auto kEn8 = utf32le(
    U"This application requires an update to Quillor Zanth that is not available for your "
    U"system. Please view the <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>system requirements</a> for Quillor Zanth and update your system accordingly.");
constexpr auto kEn9 = utf32le(U"Installing ");
constexpr auto kEn10 = utf32le(
    U"This application requires an update to Quillor Zanth but downloading that update on your "
    U"system is not allowed by your administrator. Please contact your administrator.");

// German.
constexpr auto kDe0 = utf32le(
    U"Diese Anwendung benötigt eine Version von Quillor Zanth, die nicht gefunden werden kann.\n"
    U"Bitte laden Sie die neueste Version der Laufzeitumgebung von\n" RUNTIME_DOWNLOAD_PAGE
    U" herunter\noder wenden Sie sich an den Autor der Anwendung, um eine aktualisierte Version "
    U"zu erhalten.");
constexpr auto kDe1 = utf32le(
    U"Bei der Installation dieser Anwendung ist ein Fehler aufgetreten.\n"
    U"Bitte installieren Sie die neueste Version von Quillor Zanth von\n" RUNTIME_DOWNLOAD_PAGE
    U" und versuchen Sie es dann erneut.");
constexpr auto kDe3 = utf32le(U"Abbrechen");
constexpr auto kDe4 = utf32le(U"Bitte warten.");
constexpr auto kDe5 = utf32le(
    U"Quillor Zanth kann nicht heruntergeladen werden. Vergewissern Sie sich, dass Sie mit dem "
    U"Netzwerk verbunden sind, und versuchen Sie es erneut.");
constexpr auto kDe6 = utf32le(
    U"Die heruntergeladene Version von Quillor Zanth kann nicht überprüft werden.\n"
    U"Bitte installieren Sie die neueste Version von Quillor Zanth von\n" RUNTIME_DOWNLOAD_PAGE
    U"\nund wiederholen Sie dann die Installation dieser Anwendung.");
constexpr auto kDe7 = utf32le(U"Download wird überprüft ...");
constexpr auto kDe8 = utf32le(
    U"Diese Anwendung benötigt ein Update von Quillor Zanth, das für Ihr System nicht verfügbar "
    U"ist. Bitte lesen Sie die <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>Systemvoraussetzungen</a> für Quillor Zanth und aktualisieren Sie Ihr System "
    U"entsprechend.");
constexpr auto kDe9 = utf32le(U"Installation von ");
constexpr auto kDe10 = utf32le(
    U"Diese Anwendung benötigt ein Update von Quillor Zanth, doch Ihr Administrator hat das "
    U"Herunterladen dieses Updates auf Ihr System nicht erlaubt. Bitte wenden Sie sich an Ihren "
    U"Administrator.");

// Spanish.
constexpr auto kEs0 = utf32le(
    U"Esta aplicación necesita una versión de Quillor Zanth que no se encuentra.\n"
    U"Descargue la última versión del entorno de ejecución desde\n" RUNTIME_DOWNLOAD_PAGE
    U",\no póngase en contacto con el autor de la aplicación para obtener una versión "
    U"actualizada.");
constexpr auto kEs1 = utf32le(
    U"Se ha producido un error al intentar instalar esta aplicación.\n"
    U"Instale la última versión de Quillor Zanth desde\n" RUNTIME_DOWNLOAD_PAGE
    U" y vuelva a intentarlo.");
constexpr auto kEs2 = utf32le(U"Aceptar");
constexpr auto kEs4 = utf32le(U"Espere, por favor.");
constexpr auto kEs5 = utf32le(
    U"No se puede descargar Quillor Zanth. Asegúrese de que está conectado a la red y vuelva a "
    U"intentarlo.");
constexpr auto kEs6 = utf32le(
    U"No se puede validar la versión descargada de Quillor Zanth.\n"
    U"Instale la última versión de Quillor Zanth desde\n" RUNTIME_DOWNLOAD_PAGE
    U"\ny vuelva a intentar instalar esta aplicación.");
constexpr auto kEs7 = utf32le(U"Verificando la descarga...");
constexpr auto kEs8 = utf32le(
    U"Esta aplicación necesita una actualización de Quillor Zanth que no está disponible para su "
    U"sistema. Consulte los <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>requisitos del sistema</a> de Quillor Zanth y actualice su sistema en consecuencia.");
constexpr auto kEs10 = utf32le(
    U"Esta aplicación necesita una actualización de Quillor Zanth, pero el administrador no "
    U"permite descargar esa actualización en su sistema. Póngase en contacto con el "
    U"administrador.");

// French.
constexpr auto kFr0 = utf32le(
    U"Cette application nécessite une version de Quillor Zanth qui est introuvable.\n"
    U"Veuillez télécharger la dernière version du moteur d’exécution à l’adresse\n"
    RUNTIME_DOWNLOAD_PAGE
    U",\nou contacter l’auteur de l’application pour obtenir une version mise à jour.");
constexpr auto kFr1 = utf32le(
    U"Une erreur s’est produite lors de l’installation de cette application.\n"
    U"Veuillez installer la dernière version de Quillor Zanth à partir de\n" RUNTIME_DOWNLOAD_PAGE
    U" puis réessayer.");
constexpr auto kFr3 = utf32le(U"Annuler");
constexpr auto kFr4 = utf32le(U"Veuillez patienter.");
constexpr auto kFr5 = utf32le(
    U"Impossible de télécharger Quillor Zanth. Vérifiez que vous êtes connecté au réseau, puis "
    U"réessayez.");
constexpr auto kFr6 = utf32le(
    U"Impossible de valider la version téléchargée de Quillor Zanth.\n"
    U"Veuillez installer la dernière version de Quillor Zanth à partir de\n" RUNTIME_DOWNLOAD_PAGE
    U",\npuis relancer l’installation de cette application.");
constexpr auto kFr7 = utf32le(U"Vérification du téléchargement...");
constexpr auto kFr8 = utf32le(
    U"Cette application nécessite une mise à jour de Quillor Zanth qui n’est pas disponible pour "
    U"votre système. Veuillez consulter la <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>configuration requise</a> de Quillor Zanth et mettre à jour votre système en "
    U"conséquence.");
constexpr auto kFr9 = utf32le(U"Installation de ");
constexpr auto kFr10 = utf32le(
    U"Cette application nécessite une mise à jour de Quillor Zanth, mais votre administrateur "
    U"n’autorise pas le téléchargement de cette mise à jour sur votre système. Veuillez contacter "
    U"votre administrateur.");

// Italian.
constexpr auto kIt0 = utf32le(
    U"Questa applicazione richiede una versione di Quillor Zanth che non è stata trovata.\n"
    U"Scarica l’ultima versione del runtime da\n" RUNTIME_DOWNLOAD_PAGE
    U",\noppure contatta l’autore dell’applicazione per ottenere una versione aggiornata.");
constexpr auto kIt1 = utf32le(
    U"Si è verificato un errore durante l’installazione di questa applicazione.\n"
    U"Installa l’ultima versione di Quillor Zanth da\n" RUNTIME_DOWNLOAD_PAGE U" e riprova.");
constexpr auto kIt3 = utf32le(U"Annulla");
constexpr auto kIt4 = utf32le(U"Attendere.");
constexpr auto kIt5 = utf32le(
    U"Impossibile scaricare Quillor Zanth. Verifica di essere connesso alla rete e riprova.");
constexpr auto kIt6 = utf32le(
    U"Impossibile convalidare la versione scaricata di Quillor Zanth.\n"
    U"Installa l’ultima versione di Quillor Zanth da\n" RUNTIME_DOWNLOAD_PAGE
    U",\nquindi riprova a installare questa applicazione.");
constexpr auto kIt7 = utf32le(U"Verifica del download in corso...");
constexpr auto kIt8 = utf32le(
    U"Questa applicazione richiede un aggiornamento di Quillor Zanth che non è disponibile per il "
    U"tuo sistema. Consulta i <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>requisiti di sistema</a> di Quillor Zanth e aggiorna il sistema di conseguenza.");
constexpr auto kIt9 = utf32le(U"Installazione di ");
constexpr auto kIt10 = utf32le(
    U"Questa applicazione richiede un aggiornamento di Quillor Zanth, ma l’amministratore non "
    U"consente di scaricare questo aggiornamento sul tuo sistema. Contatta l’amministratore.");

// Japanese.
constexpr auto kJa0 = utf32le(
    U"このアプリケーションに必要な Quillor Zanth のバージョンが見つかりません。\n"
    U"次の場所から最新バージョンのランタイムをダウンロードしてください:\n" RUNTIME_DOWNLOAD_PAGE
    U"\nまたは、アプリケーションの作成者に更新版についてお問い合わせください。");
constexpr auto kJa1 = utf32le(
    U"このアプリケーションのインストール中に問題が発生しました。\n"
    U"次の場所から最新バージョンの Quillor Zanth をインストールして、もう一度お試しください:\n"
    RUNTIME_DOWNLOAD_PAGE);
constexpr auto kJa3 = utf32le(U"キャンセル");
constexpr auto kJa4 = utf32le(U"お待ちください。");
constexpr auto kJa5 = utf32le(
    U"Quillor Zanth をダウンロードできません。ネットワークに接続されていることを確認して、もう一度"
    U"お試しください。");
constexpr auto kJa6 = utf32le(
    U"ダウンロードした Quillor Zanth のバージョンを検証できません。\n"
    U"次の場所から最新バージョンの Quillor Zanth をインストールしてから、このアプリケーションの"
    U"インストールをやり直してください:\n" RUNTIME_DOWNLOAD_PAGE);
constexpr auto kJa7 = utf32le(U"ダウンロードを検証しています...");
constexpr auto kJa8 = utf32le(
    U"このアプリケーションには、お使いのシステムでは利用できない Quillor Zanth のアップデートが必要"
    U"です。Quillor Zanth の<a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>システム要件</a>を確認し、それに合わせてシステムをアップデートしてください。");
constexpr auto kJa9 = utf32le(U"インストール中: ");
constexpr auto kJa10 = utf32le(
    U"このアプリケーションには Quillor Zanth のアップデートが必要ですが、このシステムへのアップ"
    U"デートのダウンロードは管理者によって許可されていません。管理者にお問い合わせください。");

// Korean.
constexpr auto kKo0 = utf32le(
    U"이 응용 프로그램에 필요한 Quillor Zanth 버전을 찾을 수 없습니다.\n"
    U"다음 주소에서 최신 버전의 런타임을 다운로드하십시오.\n" RUNTIME_DOWNLOAD_PAGE
    U"\n또는 응용 프로그램 작성자에게 업데이트된 버전을 문의하십시오.");
constexpr auto kKo1 = utf32le(
    U"이 응용 프로그램을 설치하는 중 문제가 발생했습니다.\n"
    U"다음 주소에서 최신 버전의 Quillor Zanth를 설치한 다음 다시 시도하십시오.\n"
    RUNTIME_DOWNLOAD_PAGE);
constexpr auto kKo2 = utf32le(U"확인");
constexpr auto kKo3 = utf32le(U"취소");
constexpr auto kKo4 = utf32le(U"잠시 기다려 주십시오.");
constexpr auto kKo5 = utf32le(
    U"Quillor Zanth를 다운로드할 수 없습니다. 네트워크에 연결되어 있는지 확인한 후 다시 "
    U"시도하십시오.");
constexpr auto kKo6 = utf32le(
    U"다운로드한 Quillor Zanth 버전을 검증할 수 없습니다.\n"
    U"다음 주소에서 최신 버전의 Quillor Zanth를 설치한 다음 이 응용 프로그램을 다시 "
    U"설치하십시오.\n" RUNTIME_DOWNLOAD_PAGE);
constexpr auto kKo7 = utf32le(U"다운로드를 확인하는 중...");
constexpr auto kKo8 = utf32le(
    U"이 응용 프로그램에는 사용 중인 시스템에서 사용할 수 없는 Quillor Zanth 업데이트가 "
    U"필요합니다. Quillor Zanth의 <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>시스템 요구 사항</a>을 확인하고 그에 맞게 시스템을 업데이트하십시오.");
constexpr auto kKo9 = utf32le(U"설치 중: ");
constexpr auto kKo10 = utf32le(
    U"이 응용 프로그램에는 Quillor Zanth 업데이트가 필요하지만, 관리자가 이 시스템에서 해당 "
    U"업데이트를 다운로드하도록 허용하지 않았습니다. 관리자에게 문의하십시오.");

// Portuguese (Brazil).
constexpr auto kPt0 = utf32le(
    U"Este aplicativo requer uma versão do Quillor Zanth que não foi encontrada.\n"
    U"Baixe a versão mais recente do runtime em\n" RUNTIME_DOWNLOAD_PAGE
    U",\nou entre em contato com o autor do aplicativo para obter uma versão atualizada.");
constexpr auto kPt1 = utf32le(
    U"Ocorreu um erro ao tentar instalar este aplicativo.\n"
    U"Instale a versão mais recente do Quillor Zanth a partir de\n" RUNTIME_DOWNLOAD_PAGE
    U" e tente novamente.");
constexpr auto kPt4 = utf32le(U"Aguarde.");
constexpr auto kPt5 = utf32le(
    U"Não foi possível baixar o Quillor Zanth. Verifique se você está conectado à rede e tente "
    U"novamente.");
constexpr auto kPt6 = utf32le(
    U"Não foi possível validar a versão baixada do Quillor Zanth.\n"
    U"Instale a versão mais recente do Quillor Zanth a partir de\n" RUNTIME_DOWNLOAD_PAGE
    U"\ne tente instalar este aplicativo novamente.");
constexpr auto kPt7 = utf32le(U"Verificando o download...");
constexpr auto kPt8 = utf32le(
    U"Este aplicativo requer uma atualização do Quillor Zanth que não está disponível para o seu "
    U"sistema. Consulte os <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>requisitos do sistema</a> do Quillor Zanth e atualize o seu sistema de acordo.");
constexpr auto kPt10 = utf32le(
    U"Este aplicativo requer uma atualização do Quillor Zanth, mas o administrador não permite "
    U"baixar essa atualização no seu sistema. Entre em contato com o administrador.");

// Russian.
constexpr auto kRu0 = utf32le(
    U"Для этого приложения требуется версия Quillor Zanth, которую не удалось найти.\n"
    U"Загрузите последнюю версию среды выполнения с сайта\n" RUNTIME_DOWNLOAD_PAGE
    U"\nили обратитесь к автору приложения за обновлённой версией.");
constexpr auto kRu1 = utf32le(
    U"При установке этого приложения произошла ошибка.\n"
    U"Установите последнюю версию Quillor Zanth с сайта\n" RUNTIME_DOWNLOAD_PAGE
    U" и повторите попытку.");
constexpr auto kRu3 = utf32le(U"Отмена");
constexpr auto kRu4 = utf32le(U"Подождите.");
constexpr auto kRu5 = utf32le(
    U"Не удалось загрузить Quillor Zanth. Убедитесь, что компьютер подключён к сети, и повторите "
    U"попытку.");
constexpr auto kRu6 = utf32le(
    U"Не удалось проверить загруженную версию Quillor Zanth.\n"
    U"Установите последнюю версию Quillor Zanth с сайта\n" RUNTIME_DOWNLOAD_PAGE
    U",\nзатем повторите установку этого приложения.");
constexpr auto kRu7 = utf32le(U"Проверка загрузки...");
constexpr auto kRu8 = utf32le(
    U"Для этого приложения требуется обновление Quillor Zanth, недоступное для вашей системы. "
    U"Ознакомьтесь с <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>системными требованиями</a> Quillor Zanth и обновите систему в соответствии с ними.");
constexpr auto kRu9 = utf32le(U"Установка ");
constexpr auto kRu10 = utf32le(
    U"Для этого приложения требуется обновление Quillor Zanth, но администратор запретил загрузку "
    U"этого обновления в вашей системе. Обратитесь к администратору.");

// Chinese, simplified script.
constexpr auto kZhHans0 = utf32le(
    U"找不到此应用程序所需的 Quillor Zanth 版本。\n"
    U"请从以下地址下载最新版本的运行时环境：\n" RUNTIME_DOWNLOAD_PAGE
    U"\n或联系应用程序的作者获取更新的版本。");
constexpr auto kZhHans1 = utf32le(
    U"安装此应用程序时出错。\n"
    U"请从以下地址安装最新版本的 Quillor Zanth，然后重试：\n" RUNTIME_DOWNLOAD_PAGE);
constexpr auto kZhHans2 = utf32le(U"确定");
constexpr auto kZhHans4 = utf32le(U"请稍候。");
constexpr auto kZhHans5 = utf32le(U"无法下载 Quillor Zanth。请确保已连接到网络，然后重试。");
constexpr auto kZhHans6 = utf32le(
    U"无法验证已下载的 Quillor Zanth 版本。\n"
    U"请从以下地址安装最新版本的 Quillor Zanth，然后重新安装此应用程序：\n"
    RUNTIME_DOWNLOAD_PAGE);
constexpr auto kZhHans7 = utf32le(U"正在验证下载...");
constexpr auto kZhHans8 = utf32le(
    U"此应用程序需要的 Quillor Zanth 更新不适用于您的系统。请查看 Quillor Zanth 的<a href='"
    SYSTEM_REQUIREMENTS_PAGE U"'>系统要求</a>，并相应地更新您的系统。");
constexpr auto kZhHans9 = utf32le(U"正在安装 ");
constexpr auto kZhHans10 = utf32le(
    U"此应用程序需要更新 Quillor Zanth，但您的管理员不允许在您的系统上下载该更新。请联系您的"
    U"管理员。");

// Chinese, traditional script.
constexpr auto kZhHant0 = utf32le(
    U"找不到此應用程式所需的 Quillor Zanth 版本。\n"
    U"請從以下位址下載最新版本的執行環境：\n" RUNTIME_DOWNLOAD_PAGE
    U"\n或聯絡應用程式的作者以取得更新的版本。");
constexpr auto kZhHant1 = utf32le(
    U"安裝此應用程式時發生錯誤。\n"
    U"請從以下位址安裝最新版本的 Quillor Zanth，然後再試一次：\n" RUNTIME_DOWNLOAD_PAGE);
constexpr auto kZhHant2 = utf32le(U"確定");
constexpr auto kZhHant4 = utf32le(U"請稍候。");
constexpr auto kZhHant5 = utf32le(U"無法下載 Quillor Zanth。請確定已連線至網路，然後再試一次。");
constexpr auto kZhHant6 = utf32le(
    U"無法驗證已下載的 Quillor Zanth 版本。\n"
    U"請從以下位址安裝最新版本的 Quillor Zanth，然後重新安裝此應用程式：\n"
    RUNTIME_DOWNLOAD_PAGE);
constexpr auto kZhHant7 = utf32le(U"正在驗證下載內容...");
constexpr auto kZhHant8 = utf32le(
    U"此應用程式需要的 Quillor Zanth 更新不適用於您的系統。請查看 Quillor Zanth 的<a href='"
    SYSTEM_REQUIREMENTS_PAGE U"'>系統需求</a>，並據此更新您的系統。");
constexpr auto kZhHant9 = utf32le(U"正在安裝 ");
constexpr auto kZhHant10 = utf32le(
    U"此應用程式需要更新 Quillor Zanth，但您的管理者不允許在您的系統上下載該更新。請聯絡您的"
    U"管理者。");

// Czech.
constexpr auto kCs0 = utf32le(
    U"Tato aplikace vyžaduje verzi Quillor Zanth, kterou nelze najít.\n"
    U"Stáhněte si nejnovější verzi běhového prostředí z adresy\n" RUNTIME_DOWNLOAD_PAGE
    U",\nnebo se obraťte na autora aplikace kvůli aktualizované verzi.");
constexpr auto kCs1 = utf32le(
    U"Při instalaci této aplikace došlo k chybě.\n"
    U"Nainstalujte nejnovější verzi Quillor Zanth z adresy\n" RUNTIME_DOWNLOAD_PAGE
    U" a zkuste to znovu.");
constexpr auto kCs3 = utf32le(U"Zrušit");
constexpr auto kCs4 = utf32le(U"Čekejte prosím.");
constexpr auto kCs5 = utf32le(
    U"Quillor Zanth nelze stáhnout. Zkontrolujte, zda jste připojeni k síti, a zkuste to znovu.");
constexpr auto kCs6 = utf32le(
    U"Staženou verzi Quillor Zanth nelze ověřit.\n"
    U"Nainstalujte nejnovější verzi Quillor Zanth z adresy\n" RUNTIME_DOWNLOAD_PAGE
    U"\na poté zkuste tuto aplikaci nainstalovat znovu.");
constexpr auto kCs7 = utf32le(U"Ověřování stažených dat...");
constexpr auto kCs8 = utf32le(
    U"Tato aplikace vyžaduje aktualizaci Quillor Zanth, která pro váš systém není k dispozici. "
    U"Prohlédněte si <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>systémové požadavky</a> Quillor Zanth a podle nich aktualizujte svůj systém.");
constexpr auto kCs9 = utf32le(U"Instalace ");
constexpr auto kCs10 = utf32le(
    U"Tato aplikace vyžaduje aktualizaci Quillor Zanth, ale správce nepovolil stažení této "
    U"aktualizace do vašeho systému. Obraťte se na správce.");

// Dutch.
constexpr auto kNl0 = utf32le(
    U"Deze applicatie vereist een versie van Quillor Zanth die niet kan worden gevonden.\n"
    U"Download de nieuwste versie van de runtime van\n" RUNTIME_DOWNLOAD_PAGE
    U",\nof neem contact op met de maker van de applicatie voor een bijgewerkte versie.");
constexpr auto kNl1 = utf32le(
    U"Er is iets misgegaan bij het installeren van deze applicatie.\n"
    U"Installeer de nieuwste versie van Quillor Zanth van\n" RUNTIME_DOWNLOAD_PAGE
    U" en probeer het opnieuw.");
constexpr auto kNl3 = utf32le(U"Annuleren");
constexpr auto kNl4 = utf32le(U"Even geduld.");
constexpr auto kNl5 = utf32le(
    U"Kan Quillor Zanth niet downloaden. Controleer of u met het netwerk verbonden bent en "
    U"probeer het opnieuw.");
constexpr auto kNl6 = utf32le(
    U"Kan de gedownloade versie van Quillor Zanth niet valideren.\n"
    U"Installeer de nieuwste versie van Quillor Zanth van\n" RUNTIME_DOWNLOAD_PAGE
    U"\nen probeer deze applicatie daarna opnieuw te installeren.");
constexpr auto kNl7 = utf32le(U"Download wordt gecontroleerd...");
constexpr auto kNl8 = utf32le(
    U"Deze applicatie vereist een update van Quillor Zanth die niet beschikbaar is voor uw "
    U"systeem. Bekijk de <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>systeemvereisten</a> voor Quillor Zanth en werk uw systeem dienovereenkomstig bij.");
constexpr auto kNl9 = utf32le(U"Installatie van ");
constexpr auto kNl10 = utf32le(
    U"Deze applicatie vereist een update van Quillor Zanth, maar uw beheerder staat niet toe dat "
    U"deze update op uw systeem wordt gedownload. Neem contact op met uw beheerder.");

// Polish.
constexpr auto kPl0 = utf32le(
    U"Ta aplikacja wymaga wersji Quillor Zanth, której nie można znaleźć.\n"
    U"Pobierz najnowszą wersję środowiska uruchomieniowego ze strony\n" RUNTIME_DOWNLOAD_PAGE
    U"\nlub skontaktuj się z autorem aplikacji w sprawie zaktualizowanej wersji.");
constexpr auto kPl1 = utf32le(
    U"Podczas instalowania tej aplikacji wystąpił błąd.\n"
    U"Zainstaluj najnowszą wersję Quillor Zanth ze strony\n" RUNTIME_DOWNLOAD_PAGE
    U" i spróbuj ponownie.");
constexpr auto kPl3 = utf32le(U"Anuluj");
constexpr auto kPl4 = utf32le(U"Proszę czekać.");
constexpr auto kPl5 = utf32le(
    U"Nie można pobrać Quillor Zanth. Upewnij się, że masz połączenie z siecią, i spróbuj "
    U"ponownie.");
constexpr auto kPl6 = utf32le(
    U"Nie można zweryfikować pobranej wersji Quillor Zanth.\n"
    U"Zainstaluj najnowszą wersję Quillor Zanth ze strony\n" RUNTIME_DOWNLOAD_PAGE
    U",\na następnie ponów instalację tej aplikacji.");
constexpr auto kPl7 = utf32le(U"Weryfikowanie pobranych danych...");
constexpr auto kPl8 = utf32le(
    U"Ta aplikacja wymaga aktualizacji Quillor Zanth, która nie jest dostępna dla Twojego "
    U"systemu. Zapoznaj się z <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>wymaganiami systemowymi</a> Quillor Zanth i odpowiednio zaktualizuj system.");
constexpr auto kPl9 = utf32le(U"Instalowanie ");
constexpr auto kPl10 = utf32le(
    U"Ta aplikacja wymaga aktualizacji Quillor Zanth, ale administrator nie zezwala na pobranie "
    U"tej aktualizacji w Twoim systemie. Skontaktuj się z administratorem.");

// Swedish.
constexpr auto kSv0 = utf32le(
    U"Det här programmet kräver en version av Quillor Zanth som inte kan hittas.\n"
    U"Hämta den senaste versionen av körmiljön från\n" RUNTIME_DOWNLOAD_PAGE
    U",\neller kontakta programmets utvecklare för att få en uppdaterad version.");
constexpr auto kSv1 = utf32le(
    U"Något gick fel när programmet skulle installeras.\n"
    U"Installera den senaste versionen av Quillor Zanth från\n" RUNTIME_DOWNLOAD_PAGE
    U" och försök sedan igen.");
constexpr auto kSv3 = utf32le(U"Avbryt");
constexpr auto kSv4 = utf32le(U"Vänta.");
constexpr auto kSv5 = utf32le(
    U"Det går inte att hämta Quillor Zanth. Kontrollera att du är ansluten till nätverket och "
    U"försök igen.");
constexpr auto kSv6 = utf32le(
    U"Det går inte att validera den hämtade versionen av Quillor Zanth.\n"
    U"Installera den senaste versionen av Quillor Zanth från\n" RUNTIME_DOWNLOAD_PAGE
    U",\noch försök sedan installera programmet igen.");
constexpr auto kSv7 = utf32le(U"Kontrollerar hämtningen...");
constexpr auto kSv8 = utf32le(
    U"Det här programmet kräver en uppdatering av Quillor Zanth som inte är tillgänglig för ditt "
    U"system. Läs <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>systemkraven</a> för Quillor Zanth och uppdatera ditt system därefter.");
constexpr auto kSv9 = utf32le(U"Installerar ");
constexpr auto kSv10 = utf32le(
    U"Det här programmet kräver en uppdatering av Quillor Zanth, men din administratör tillåter "
    U"inte att uppdateringen hämtas till ditt system. Kontakta din administratör.");

// Turkish.
constexpr auto kTr0 = utf32le(
    U"Bu uygulama, bulunamayan bir Quillor Zanth sürümü gerektiriyor.\n"
    U"Lütfen çalışma zamanının en son sürümünü şu adresten indirin:\n" RUNTIME_DOWNLOAD_PAGE
    U"\nveya güncellenmiş bir sürüm için uygulamanın yazarıyla iletişime geçin.");
constexpr auto kTr1 = utf32le(
    U"Bu uygulama yüklenirken bir sorun oluştu.\n"
    U"Lütfen Quillor Zanth’ın en son sürümünü şu adresten yükleyin ve yeniden deneyin:\n"
    RUNTIME_DOWNLOAD_PAGE);
constexpr auto kTr2 = utf32le(U"Tamam");
constexpr auto kTr3 = utf32le(U"İptal");
constexpr auto kTr4 = utf32le(U"Lütfen bekleyin.");
constexpr auto kTr5 = utf32le(
    U"Quillor Zanth indirilemiyor. Ağa bağlı olduğunuzdan emin olun ve yeniden deneyin.");
constexpr auto kTr6 = utf32le(
    U"İndirilen Quillor Zanth sürümü doğrulanamıyor.\n"
    U"Lütfen Quillor Zanth’ın en son sürümünü şu adresten yükleyin:\n" RUNTIME_DOWNLOAD_PAGE
    U"\nArdından bu uygulamayı yeniden yüklemeyi deneyin.");
constexpr auto kTr7 = utf32le(U"İndirme doğrulanıyor...");
constexpr auto kTr8 = utf32le(
    U"Bu uygulama, sisteminiz için kullanılamayan bir Quillor Zanth güncellemesi gerektiriyor. "
    U"Lütfen Quillor Zanth’ın <a href='" SYSTEM_REQUIREMENTS_PAGE
    U"'>sistem gereksinimlerini</a> inceleyin ve sisteminizi buna göre güncelleyin.");
constexpr auto kTr9 = utf32le(U"Yükleniyor: ");
constexpr auto kTr10 = utf32le(
    U"Bu uygulama bir Quillor Zanth güncellemesi gerektiriyor, ancak yöneticiniz bu güncellemenin "
    U"sisteminize indirilmesine izin vermiyor. Lütfen yöneticinizle iletişime geçin.");

// clang-format on

// The progress window's texts (message ids 11 and up), in the same language order. Plural
// forms are separated by "|", in the order of the language's plural rule.
// clang-format off

constexpr auto kDeS11 = utf32le(U"%1 von %2 (%3)");
constexpr auto kDeS12 = utf32le(U"%1 empfangen");
constexpr auto kDeS13 = utf32le(U"%1, %2");
constexpr auto kDeS14 = utf32le(U"noch etwa %1 Sekunde|noch etwa %1 Sekunden");
constexpr auto kDeS15 = utf32le(U"noch etwa %1 Minute|noch etwa %1 Minuten");
constexpr auto kDeS16 = utf32le(U"noch etwa %1 Stunde|noch etwa %1 Stunden");
constexpr auto kDeS17 = utf32le(U"Verbindung unterbrochen. Neuer Versuch in %1 Sekunde.|Verbindung unterbrochen. Neuer Versuch in %1 Sekunden.");
constexpr auto kDeS18 = utf32le(U",");
constexpr auto kDeS19 = utf32le(U"%1\u00A0%2");
constexpr auto kDeS20 = utf32le(U"B|kB|MB|GB");
constexpr auto kDeS21 = utf32le(U"%1/s");
constexpr auto kDeS22 = utf32le(U"Downloadfortschritt");
constexpr auto kDeS23 = utf32le(U"Downloadstatus");

constexpr auto kEnS11 = utf32le(U"%1 of %2 (%3)");
constexpr auto kEnS12 = utf32le(U"%1 received");
constexpr auto kEnS13 = utf32le(U"%1, %2");
constexpr auto kEnS14 = utf32le(U"about %1 second left|about %1 seconds left");
constexpr auto kEnS15 = utf32le(U"about %1 minute left|about %1 minutes left");
constexpr auto kEnS16 = utf32le(U"about %1 hour left|about %1 hours left");
constexpr auto kEnS17 = utf32le(U"Connection lost. Trying again in %1 second.|Connection lost. Trying again in %1 seconds.");
constexpr auto kEnS18 = utf32le(U".");
constexpr auto kEnS19 = utf32le(U"%1\u00A0%2");
constexpr auto kEnS20 = utf32le(U"B|kB|MB|GB");
constexpr auto kEnS21 = utf32le(U"%1/s");
constexpr auto kEnS22 = utf32le(U"Download progress");
constexpr auto kEnS23 = utf32le(U"Download status");

constexpr auto kEsS11 = utf32le(U"%1 de %2 (%3)");
constexpr auto kEsS12 = utf32le(U"%1 recibidos");
constexpr auto kEsS13 = utf32le(U"%1, %2");
constexpr auto kEsS14 = utf32le(U"queda alrededor de %1 segundo|quedan unos %1 segundos");
constexpr auto kEsS15 = utf32le(U"queda alrededor de %1 minuto|quedan unos %1 minutos");
constexpr auto kEsS16 = utf32le(U"queda alrededor de %1 hora|quedan unos %1 horas");
constexpr auto kEsS17 = utf32le(U"Se perdió la conexión. Se volverá a intentar en %1 segundo.|Se perdió la conexión. Se volverá a intentar en %1 segundos.");
constexpr auto kEsS18 = utf32le(U",");
constexpr auto kEsS19 = utf32le(U"%1\u00A0%2");
constexpr auto kEsS20 = utf32le(U"B|kB|MB|GB");
constexpr auto kEsS21 = utf32le(U"%1/s");
constexpr auto kEsS22 = utf32le(U"Progreso de la descarga");
constexpr auto kEsS23 = utf32le(U"Estado de la descarga");

constexpr auto kFrS11 = utf32le(U"%1 sur %2 (%3)");
constexpr auto kFrS12 = utf32le(U"%1 reçus");
constexpr auto kFrS13 = utf32le(U"%1, %2");
constexpr auto kFrS14 = utf32le(U"environ %1 seconde restante|environ %1 secondes restantes");
constexpr auto kFrS15 = utf32le(U"environ %1 minute restante|environ %1 minutes restantes");
constexpr auto kFrS16 = utf32le(U"environ %1 heure restante|environ %1 heures restantes");
constexpr auto kFrS17 = utf32le(U"Connexion perdue. Nouvelle tentative dans %1 seconde.|Connexion perdue. Nouvelle tentative dans %1 secondes.");
constexpr auto kFrS18 = utf32le(U",");
constexpr auto kFrS19 = utf32le(U"%1\u00A0%2");
constexpr auto kFrS20 = utf32le(U"o|ko|Mo|Go");
constexpr auto kFrS21 = utf32le(U"%1/s");
constexpr auto kFrS22 = utf32le(U"Progression du téléchargement");
constexpr auto kFrS23 = utf32le(U"État du téléchargement");

constexpr auto kItS11 = utf32le(U"%1 di %2 (%3)");
constexpr auto kItS12 = utf32le(U"%1 ricevuti");
constexpr auto kItS13 = utf32le(U"%1, %2");
constexpr auto kItS14 = utf32le(U"circa %1 secondo rimanente|circa %1 secondi rimanenti");
constexpr auto kItS15 = utf32le(U"circa %1 minuto rimanente|circa %1 minuti rimanenti");
constexpr auto kItS16 = utf32le(U"circa %1 ora rimanente|circa %1 ore rimanenti");
constexpr auto kItS17 = utf32le(U"Connessione persa. Nuovo tentativo tra %1 secondo.|Connessione persa. Nuovo tentativo tra %1 secondi.");
constexpr auto kItS18 = utf32le(U",");
constexpr auto kItS19 = utf32le(U"%1\u00A0%2");
constexpr auto kItS20 = utf32le(U"B|kB|MB|GB");
constexpr auto kItS21 = utf32le(U"%1/s");
constexpr auto kItS22 = utf32le(U"Avanzamento del download");
constexpr auto kItS23 = utf32le(U"Stato del download");

constexpr auto kJaS11 = utf32le(U"%2 中 %1（%3）");
constexpr auto kJaS12 = utf32le(U"%1 受信済み");
constexpr auto kJaS13 = utf32le(U"%1、%2");
constexpr auto kJaS14 = utf32le(U"残り約 %1 秒");
constexpr auto kJaS15 = utf32le(U"残り約 %1 分");
constexpr auto kJaS16 = utf32le(U"残り約 %1 時間");
constexpr auto kJaS17 = utf32le(U"接続が切断されました。%1 秒後に再試行します。");
constexpr auto kJaS18 = utf32le(U".");
constexpr auto kJaS19 = utf32le(U"%1\u00A0%2");
constexpr auto kJaS20 = utf32le(U"B|KB|MB|GB");
constexpr auto kJaS21 = utf32le(U"%1/秒");
constexpr auto kJaS22 = utf32le(U"ダウンロードの進行状況");
constexpr auto kJaS23 = utf32le(U"ダウンロードの状態");

constexpr auto kKoS11 = utf32le(U"%2 중 %1 (%3)");
constexpr auto kKoS12 = utf32le(U"%1 받음");
constexpr auto kKoS13 = utf32le(U"%1, %2");
constexpr auto kKoS14 = utf32le(U"약 %1초 남음");
constexpr auto kKoS15 = utf32le(U"약 %1분 남음");
constexpr auto kKoS16 = utf32le(U"약 %1시간 남음");
constexpr auto kKoS17 = utf32le(U"연결이 끊어졌습니다. %1초 후에 다시 시도합니다.");
constexpr auto kKoS18 = utf32le(U".");
constexpr auto kKoS19 = utf32le(U"%1%2");
constexpr auto kKoS20 = utf32le(U"B|KB|MB|GB");
constexpr auto kKoS21 = utf32le(U"%1/초");
constexpr auto kKoS22 = utf32le(U"다운로드 진행률");
constexpr auto kKoS23 = utf32le(U"다운로드 상태");

constexpr auto kPtS11 = utf32le(U"%1 de %2 (%3)");
constexpr auto kPtS12 = utf32le(U"%1 recebidos");
constexpr auto kPtS13 = utf32le(U"%1, %2");
constexpr auto kPtS14 = utf32le(U"cerca de %1 segundo restante|cerca de %1 segundos restantes");
constexpr auto kPtS15 = utf32le(U"cerca de %1 minuto restante|cerca de %1 minutos restantes");
constexpr auto kPtS16 = utf32le(U"cerca de %1 hora restante|cerca de %1 horas restantes");
constexpr auto kPtS17 = utf32le(U"Conexão perdida. Nova tentativa em %1 segundo.|Conexão perdida. Nova tentativa em %1 segundos.");
constexpr auto kPtS18 = utf32le(U",");
constexpr auto kPtS19 = utf32le(U"%1\u00A0%2");
constexpr auto kPtS20 = utf32le(U"B|kB|MB|GB");
constexpr auto kPtS21 = utf32le(U"%1/s");
constexpr auto kPtS22 = utf32le(U"Progresso do download");
constexpr auto kPtS23 = utf32le(U"Status do download");

constexpr auto kRuS11 = utf32le(U"%1 из %2 (%3)");
constexpr auto kRuS12 = utf32le(U"Получено %1");
constexpr auto kRuS13 = utf32le(U"%1, %2");
constexpr auto kRuS14 = utf32le(U"осталась примерно %1 секунда|осталось примерно %1 секунды|осталось примерно %1 секунд");
constexpr auto kRuS15 = utf32le(U"осталась примерно %1 минута|осталось примерно %1 минуты|осталось примерно %1 минут");
constexpr auto kRuS16 = utf32le(U"остался примерно %1 час|осталось примерно %1 часа|осталось примерно %1 часов");
constexpr auto kRuS17 = utf32le(U"Соединение потеряно. Повторная попытка через %1 секунду.|Соединение потеряно. Повторная попытка через %1 секунды.|Соединение потеряно. Повторная попытка через %1 секунд.");
constexpr auto kRuS18 = utf32le(U",");
constexpr auto kRuS19 = utf32le(U"%1\u00A0%2");
constexpr auto kRuS20 = utf32le(U"Б|КБ|МБ|ГБ");
constexpr auto kRuS21 = utf32le(U"%1/с");
constexpr auto kRuS22 = utf32le(U"Ход загрузки");
constexpr auto kRuS23 = utf32le(U"Состояние загрузки");

constexpr auto kZhHansS11 = utf32le(U"%1 / %2（%3）");
constexpr auto kZhHansS12 = utf32le(U"已接收 %1");
constexpr auto kZhHansS13 = utf32le(U"%1，%2");
constexpr auto kZhHansS14 = utf32le(U"大约还剩 %1 秒");
constexpr auto kZhHansS15 = utf32le(U"大约还剩 %1 分钟");
constexpr auto kZhHansS16 = utf32le(U"大约还剩 %1 小时");
constexpr auto kZhHansS17 = utf32le(U"连接已断开。将在 %1 秒后重试。");
constexpr auto kZhHansS18 = utf32le(U".");
constexpr auto kZhHansS19 = utf32le(U"%1\u00A0%2");
constexpr auto kZhHansS20 = utf32le(U"B|KB|MB|GB");
constexpr auto kZhHansS21 = utf32le(U"%1/秒");
constexpr auto kZhHansS22 = utf32le(U"下载进度");
constexpr auto kZhHansS23 = utf32le(U"下载状态");

constexpr auto kZhHantS11 = utf32le(U"%1 / %2（%3）");
constexpr auto kZhHantS12 = utf32le(U"已接收 %1");
constexpr auto kZhHantS13 = utf32le(U"%1，%2");
constexpr auto kZhHantS14 = utf32le(U"大約還剩 %1 秒");
constexpr auto kZhHantS15 = utf32le(U"大約還剩 %1 分鐘");
constexpr auto kZhHantS16 = utf32le(U"大約還剩 %1 小時");
constexpr auto kZhHantS17 = utf32le(U"連線已中斷。將在 %1 秒後重試。");
constexpr auto kZhHantS18 = utf32le(U".");
constexpr auto kZhHantS19 = utf32le(U"%1\u00A0%2");
constexpr auto kZhHantS20 = utf32le(U"B|KB|MB|GB");
constexpr auto kZhHantS21 = utf32le(U"%1/秒");
constexpr auto kZhHantS22 = utf32le(U"下載進度");
constexpr auto kZhHantS23 = utf32le(U"下載狀態");

constexpr auto kCsS11 = utf32le(U"%1 z %2 (%3)");
constexpr auto kCsS12 = utf32le(U"Přijato %1");
constexpr auto kCsS13 = utf32le(U"%1, %2");
constexpr auto kCsS14 = utf32le(U"zbývá asi %1 sekunda|zbývají asi %1 sekundy|zbývá asi %1 sekund");
constexpr auto kCsS15 = utf32le(U"zbývá asi %1 minuta|zbývají asi %1 minuty|zbývá asi %1 minut");
constexpr auto kCsS16 = utf32le(U"zbývá asi %1 hodina|zbývají asi %1 hodiny|zbývá asi %1 hodin");
constexpr auto kCsS17 = utf32le(U"Připojení bylo ztraceno. Nový pokus za %1 sekundu.|Připojení bylo ztraceno. Nový pokus za %1 sekundy.|Připojení bylo ztraceno. Nový pokus za %1 sekund.");
constexpr auto kCsS18 = utf32le(U",");
constexpr auto kCsS19 = utf32le(U"%1\u00A0%2");
constexpr auto kCsS20 = utf32le(U"B|kB|MB|GB");
constexpr auto kCsS21 = utf32le(U"%1/s");
constexpr auto kCsS22 = utf32le(U"Průběh stahování");
constexpr auto kCsS23 = utf32le(U"Stav stahování");

constexpr auto kNlS11 = utf32le(U"%1 van %2 (%3)");
constexpr auto kNlS12 = utf32le(U"%1 ontvangen");
constexpr auto kNlS13 = utf32le(U"%1, %2");
constexpr auto kNlS14 = utf32le(U"nog ongeveer %1 seconde|nog ongeveer %1 seconden");
constexpr auto kNlS15 = utf32le(U"nog ongeveer %1 minuut|nog ongeveer %1 minuten");
constexpr auto kNlS16 = utf32le(U"nog ongeveer %1 uur|nog ongeveer %1 uur");
constexpr auto kNlS17 = utf32le(U"Verbinding verbroken. Nieuwe poging over %1 seconde.|Verbinding verbroken. Nieuwe poging over %1 seconden.");
constexpr auto kNlS18 = utf32le(U",");
constexpr auto kNlS19 = utf32le(U"%1\u00A0%2");
constexpr auto kNlS20 = utf32le(U"B|kB|MB|GB");
constexpr auto kNlS21 = utf32le(U"%1/s");
constexpr auto kNlS22 = utf32le(U"Downloadvoortgang");
constexpr auto kNlS23 = utf32le(U"Downloadstatus");

constexpr auto kPlS11 = utf32le(U"%1 z %2 (%3)");
constexpr auto kPlS12 = utf32le(U"Odebrano %1");
constexpr auto kPlS13 = utf32le(U"%1, %2");
constexpr auto kPlS14 = utf32le(U"pozostało około %1 sekundy|pozostało około %1 sekund|pozostało około %1 sekund");
constexpr auto kPlS15 = utf32le(U"pozostało około %1 minuty|pozostało około %1 minut|pozostało około %1 minut");
constexpr auto kPlS16 = utf32le(U"pozostało około %1 godziny|pozostało około %1 godzin|pozostało około %1 godzin");
constexpr auto kPlS17 = utf32le(U"Utracono połączenie. Ponowna próba za %1 sekundę.|Utracono połączenie. Ponowna próba za %1 sekundy.|Utracono połączenie. Ponowna próba za %1 sekund.");
constexpr auto kPlS18 = utf32le(U",");
constexpr auto kPlS19 = utf32le(U"%1\u00A0%2");
constexpr auto kPlS20 = utf32le(U"B|kB|MB|GB");
constexpr auto kPlS21 = utf32le(U"%1/s");
constexpr auto kPlS22 = utf32le(U"Postęp pobierania");
constexpr auto kPlS23 = utf32le(U"Stan pobierania");

constexpr auto kSvS11 = utf32le(U"%1 av %2 (%3)");
constexpr auto kSvS12 = utf32le(U"%1 mottaget");
constexpr auto kSvS13 = utf32le(U"%1, %2");
constexpr auto kSvS14 = utf32le(U"ungefär %1 sekund kvar|ungefär %1 sekunder kvar");
constexpr auto kSvS15 = utf32le(U"ungefär %1 minut kvar|ungefär %1 minuter kvar");
constexpr auto kSvS16 = utf32le(U"ungefär %1 timme kvar|ungefär %1 timmar kvar");
constexpr auto kSvS17 = utf32le(U"Anslutningen bröts. Försöker igen om %1 sekund.|Anslutningen bröts. Försöker igen om %1 sekunder.");
constexpr auto kSvS18 = utf32le(U",");
constexpr auto kSvS19 = utf32le(U"%1\u00A0%2");
constexpr auto kSvS20 = utf32le(U"B|kB|MB|GB");
constexpr auto kSvS21 = utf32le(U"%1/s");
constexpr auto kSvS22 = utf32le(U"Hämtningsförlopp");
constexpr auto kSvS23 = utf32le(U"Hämtningsstatus");

constexpr auto kTrS11 = utf32le(U"%1 / %2 (%3)");
constexpr auto kTrS12 = utf32le(U"%1 alındı");
constexpr auto kTrS13 = utf32le(U"%1, %2");
constexpr auto kTrS14 = utf32le(U"yaklaşık %1 saniye kaldı");
constexpr auto kTrS15 = utf32le(U"yaklaşık %1 dakika kaldı");
constexpr auto kTrS16 = utf32le(U"yaklaşık %1 saat kaldı");
constexpr auto kTrS17 = utf32le(U"Bağlantı kesildi. %1 saniye sonra yeniden denenecek.");
constexpr auto kTrS18 = utf32le(U",");
constexpr auto kTrS19 = utf32le(U"%1\u00A0%2");
constexpr auto kTrS20 = utf32le(U"B|KB|MB|GB");
constexpr auto kTrS21 = utf32le(U"%1/sn");
constexpr auto kTrS22 = utf32le(U"İndirme ilerlemesi");
constexpr auto kTrS23 = utf32le(U"İndirme durumu");
// clang-format on

#undef RUNTIME_DOWNLOAD_PAGE
#undef SYSTEM_REQUIREMENTS_PAGE

}  // namespace

#define MESSAGES(m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10)                                  \
  {                                                                                            \
    (m0).data(), (m1).data(), (m2).data(), (m3).data(), (m4).data(), (m5).data(), (m6).data(), \
        (m7).data(), (m8).data(), (m9).data(), (m10).data()                                    \
  }

const EmbeddedMessages allMessages[kLanguageCount + 1] = {
    {"de", 0x0407, MESSAGES(kDe0, kDe1, kOk, kDe3, kDe4, kDe5, kDe6, kDe7, kDe8, kDe9, kDe10)},
    {"en", 0x0409, MESSAGES(kEn0, kEn1, kOk, kEn3, kEn4, kEn5, kEn6, kEn7, kEn8, kEn9, kEn10)},
    {"es", 0x0C0A,
     MESSAGES(kEs0, kEs1, kEs2, kCancelar, kEs4, kEs5, kEs6, kEs7, kEs8, kInstalando, kEs10)},
    {"fr", 0x040C, MESSAGES(kFr0, kFr1, kOk, kFr3, kFr4, kFr5, kFr6, kFr7, kFr8, kFr9, kFr10)},
    {"it", 0x0410, MESSAGES(kIt0, kIt1, kOk, kIt3, kIt4, kIt5, kIt6, kIt7, kIt8, kIt9, kIt10)},
    {"ja", 0x0411, MESSAGES(kJa0, kJa1, kOk, kJa3, kJa4, kJa5, kJa6, kJa7, kJa8, kJa9, kJa10)},
    {"ko", 0x0412, MESSAGES(kKo0, kKo1, kKo2, kKo3, kKo4, kKo5, kKo6, kKo7, kKo8, kKo9, kKo10)},
    {"pt", 0x0416,
     MESSAGES(kPt0, kPt1, kOk, kCancelar, kPt4, kPt5, kPt6, kPt7, kPt8, kInstalando, kPt10)},
    {"ru", 0x0419, MESSAGES(kRu0, kRu1, kOk, kRu3, kRu4, kRu5, kRu6, kRu7, kRu8, kRu9, kRu10)},
    {"zh-Hans", 0x0804,
     MESSAGES(kZhHans0, kZhHans1, kZhHans2, kQuXiao, kZhHans4, kZhHans5, kZhHans6, kZhHans7,
              kZhHans8, kZhHans9, kZhHans10)},
    {"zh-Hant", 0x0404,
     MESSAGES(kZhHant0, kZhHant1, kZhHant2, kQuXiao, kZhHant4, kZhHant5, kZhHant6, kZhHant7,
              kZhHant8, kZhHant9, kZhHant10)},
    {"cs", 0x0405, MESSAGES(kCs0, kCs1, kOk, kCs3, kCs4, kCs5, kCs6, kCs7, kCs8, kCs9, kCs10)},
    {"nl", 0x0413, MESSAGES(kNl0, kNl1, kOk, kNl3, kNl4, kNl5, kNl6, kNl7, kNl8, kNl9, kNl10)},
    {"pl", 0x0415, MESSAGES(kPl0, kPl1, kOk, kPl3, kPl4, kPl5, kPl6, kPl7, kPl8, kPl9, kPl10)},
    {"sv", 0x041D, MESSAGES(kSv0, kSv1, kOk, kSv3, kSv4, kSv5, kSv6, kSv7, kSv8, kSv9, kSv10)},
    {"tr", 0x041F, MESSAGES(kTr0, kTr1, kTr2, kTr3, kTr4, kTr5, kTr6, kTr7, kTr8, kTr9, kTr10)},
    {"", 0, MESSAGES(kEn0, kEn1, kOk, kEn3, kEn4, kEn5, kEn6, kEn7, kEn8, kEn9, kEn10)},
};

#undef MESSAGES

#define STATUS_MESSAGES(k)                                                                   \
  {                                                                                          \
    (k##S11).data(), (k##S12).data(), (k##S13).data(), (k##S14).data(), (k##S15).data(),     \
        (k##S16).data(), (k##S17).data(), (k##S18).data(), (k##S19).data(), (k##S20).data(), \
        (k##S21).data(), (k##S22).data(), (k##S23).data()                                    \
  }

// clang-format off
const StatusMessages allStatusMessages[kLanguageCount + 1] = {
    {PluralRule::OneOther, STATUS_MESSAGES(kDe)},
    {PluralRule::OneOther, STATUS_MESSAGES(kEn)},
    {PluralRule::OneOther, STATUS_MESSAGES(kEs)},
    {PluralRule::ZeroOneOther, STATUS_MESSAGES(kFr)},
    {PluralRule::OneOther, STATUS_MESSAGES(kIt)},
    {PluralRule::None, STATUS_MESSAGES(kJa)},
    {PluralRule::None, STATUS_MESSAGES(kKo)},
    {PluralRule::ZeroOneOther, STATUS_MESSAGES(kPt)},
    {PluralRule::Russian, STATUS_MESSAGES(kRu)},
    {PluralRule::None, STATUS_MESSAGES(kZhHans)},
    {PluralRule::None, STATUS_MESSAGES(kZhHant)},
    {PluralRule::Czech, STATUS_MESSAGES(kCs)},
    {PluralRule::OneOther, STATUS_MESSAGES(kNl)},
    {PluralRule::Polish, STATUS_MESSAGES(kPl)},
    {PluralRule::OneOther, STATUS_MESSAGES(kSv)},
    {PluralRule::None, STATUS_MESSAGES(kTr)},
    {PluralRule::OneOther, STATUS_MESSAGES(kEn)},
};
// clang-format on

#undef STATUS_MESSAGES
