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
