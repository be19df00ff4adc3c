<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Directions</name>
    <message>
        <location filename="../core/Directions.h" line="+13"/>
        <source>Connect USB adapter</source>
        <extracomment>The first screen, shown large: no USB serial adapter is plugged in yet.</extracomment>
        <translation>Branchez l&apos;adaptateur USB</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Power on the QZ7 while holding front Run/Stop button</source>
        <extracomment>Shown large. Run/Stop is the name printed on the QZ7&apos;s button: keep it.</extracomment>
        <translation>Allumez le QZ7 en maintenant le bouton Run/Stop en façade</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Updating QZ7, please wait...</source>
        <translation>Mise à jour du QZ7, veuillez patienter...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Version not Found.
Update anyway?</source>
        <translation>Version introuvable.
Mettre à jour quand même&#xa0;?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Erased
Please restart the program
and the QZ7</source>
        <translation>Non effacé
Veuillez redémarrer le programme
et le QZ7</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Done</source>
        <extracomment>The QZ7 said its firmware is written: the update succeeded.</extracomment>
        <translation>Terminé</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Trying to write to unopened Port</source>
        <extracomment>The port closed before the program could write to it.</extracomment>
        <translation>Tentative d&apos;écriture sur un port non ouvert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>USB adapter disconnected
Please restart the program
and the QZ7</source>
        <translation>Adaptateur USB déconnecté
Veuillez redémarrer le programme
et le QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No version reply
Please restart the program
and the QZ7</source>
        <translation>Aucune réponse de version
Veuillez redémarrer le programme
et le QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware image damaged
Please reinstall the program</source>
        <translation>Image du micrologiciel endommagée
Veuillez réinstaller le programme</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Done
Please restart the program
and the QZ7</source>
        <translation>Non terminé
Veuillez redémarrer le programme
et le QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 restarted during the update
It has no firmware now
Restart the program, power on the QZ7
while holding Run/Stop, and update again</source>
        <translation>Le QZ7 a redémarré pendant la mise à jour
Il n&apos;a plus de micrologiciel
Redémarrez le programme, allumez le QZ7
en maintenant Run/Stop, puis refaites la mise à jour</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>QZ7 stopped accepting data
Please restart the program
and the QZ7</source>
        <translation>Le QZ7 n&apos;accepte plus de données
Veuillez redémarrer le programme
et le QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 stopped before the whole image was sent
It has no firmware now
Restart the program, power on the QZ7
while holding Run/Stop, and update again</source>
        <translation>Le QZ7 s&apos;est arrêté avant la fin de l&apos;envoi de l&apos;image
Il n&apos;a plus de micrologiciel
Redémarrez le programme, allumez le QZ7
en maintenant Run/Stop, puis refaites la mise à jour</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Found Version: %1
 Update To: QZ7 V%2?
</source>
        <extracomment>The version question. %1 the version the QZ7 reported (&quot;2.005&quot;), %2 the firmware this program carries (&quot;2.007&quot;). Line breaks may go where your language needs them.</extracomment>
        <translation>Version trouvée&#xa0;: %1
 Mettre à jour vers QZ7 V%2&#xa0;?
</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unexpected reply: %1
Please restart the program
and the QZ7</source>
        <extracomment>%1 the QZ7&apos;s reply as it sent it (at most 40 characters, escaped).</extracomment>
        <translation>Réponse inattendue&#xa0;: %1
Veuillez redémarrer le programme
et le QZ7</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An Exception Occured:
%1</source>
        <extracomment>%1 the error&apos;s own text, from the system.</extracomment>
        <translation>Une exception s&apos;est produite&#xa0;:
%1</translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <location filename="../core/Endings.cpp" line="+21"/>
        <source>the QZ7 was updated (Done)</source>
        <extracomment>--help&apos;s list of exit statuses: each text says what ended a run with that status (after the number). Option names (--wait) and the QZ7&apos;s own words (Done, Not Done) stay as they are.</extracomment>
        <translation>le QZ7 a été mis à jour (Done)</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>an error nobody foresaw</source>
        <translation>une erreur imprévue</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>no usable adapter within --wait, or a --port that can never be one</source>
        <translation>aucun adaptateur utilisable dans le délai --wait, ou un --port qui ne peut pas en être un</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>no permission to open the port</source>
        <translation>pas d&apos;autorisation pour ouvrir le port</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the port is in use by another program</source>
        <translation>le port est utilisé par un autre programme</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>the adapter was disconnected, or the port closed under the update</source>
        <translation>l&apos;adaptateur a été déconnecté, ou le port s&apos;est fermé pendant la mise à jour</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>the QZ7 was not erased</source>
        <translation>le QZ7 n&apos;a pas été effacé</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>an unexpected reply from the QZ7</source>
        <translation>une réponse inattendue du QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no version reply</source>
        <translation>aucune réponse de version</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>not updated: the answer was no (or input ended, or was too long)</source>
        <translation>pas de mise à jour&#xa0;: la réponse était non (ou l&apos;entrée s&apos;est terminée, ou était trop longue)</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>the firmware image is damaged; nothing was erased</source>
        <translation>l&apos;image du micrologiciel est endommagée&#xa0;; rien n&apos;a été effacé</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>the QZ7 answered Not Done</source>
        <translation>le QZ7 a répondu Not Done</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the QZ7 restarted during the update</source>
        <translation>le QZ7 a redémarré pendant la mise à jour</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>the QZ7 stopped accepting data</source>
        <translation>le QZ7 n&apos;accepte plus de données</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>the port opened, but no QZ7 answered within --wait</source>
        <translation>le port s&apos;est ouvert, mais aucun QZ7 n&apos;a répondu dans le délai --wait</translation>
    </message>
    <message>
        <location line="-27"/>
        <source>the QZ7 said Done before the whole image was sent</source>
        <translation>le QZ7 a répondu Done avant la fin de l&apos;envoi de l&apos;image</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>several units: not every one was updated (each unit&apos;s status is in --json and --report)</source>
        <translation>plusieurs unités&#xa0;: toutes n&apos;ont pas été mises à jour (l&apos;état de chaque unité figure dans --json et --report)</translation>
    </message>
    <message>
        <location line="-19"/>
        <source>--skip-current: the QZ7 already has the firmware this program carries; not updated</source>
        <translation>--skip-current&#xa0;: le QZ7 a déjà le micrologiciel de ce programme&#xa0;; pas de mise à jour</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--yes: the QZ7 has newer firmware than this program carries; not updated (see --allow-older)</source>
        <translation>--yes&#xa0;: le QZ7 a un micrologiciel plus récent que celui de ce programme&#xa0;; pas de mise à jour (voir --allow-older)</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>wrong usage: an unknown option or a bad value</source>
        <translation>mauvaise utilisation&#xa0;: option inconnue ou valeur incorrecte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>standard output (or the --report file) could not be written</source>
        <translation>impossible d&apos;écrire sur la sortie standard (ou dans le fichier --report)</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>--timeout ran out; the port was put back</source>
        <translation>délai --timeout écoulé&#xa0;; les réglages du port ont été rétablis</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>stopped by SIGINT (twice within 5 s while the QZ7 is being programmed), SIGTERM or SIGHUP; the port was put back</source>
        <translation>arrêté par SIGINT (deux fois en 5 s pendant la programmation du QZ7), SIGTERM ou SIGHUP&#xa0;; les réglages du port ont été rétablis</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>Exit statuses (with --cli):</source>
        <translation>Codes de sortie (avec --cli)&#xa0;:</translation>
    </message>
    <message>
        <location filename="../app/Startup.cpp" line="+70"/>
        <source>path</source>
        <extracomment>The value of --port in --help (&quot;--port &lt;path&gt;&quot;); the descriptions quote it as &lt;path&gt;.</extracomment>
        <translation>chemin</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>file</source>
        <extracomment>The value of --report, --capture and --history-file in --help (&quot;--report &lt;file&gt;&quot;).</extracomment>
        <translation>fichier</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>seconds</source>
        <extracomment>The value of --wait and --timeout in --help (&quot;--wait &lt;seconds&gt;&quot;).</extracomment>
        <translation>secondes</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>name</source>
        <extracomment>The value of --unit and --operator in --help (&quot;--unit &lt;name&gt;&quot;).</extracomment>
        <translation>nom</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Updates the firmware of a QZ7 over a USB serial adapter. Connect the adapter, power on the QZ7 while holding its front Run/Stop button, and follow the directions in the window.</source>
        <translation>Met à jour le micrologiciel d&apos;un QZ7 par un adaptateur série USB. Branchez l&apos;adaptateur, allumez le QZ7 en maintenant son bouton avant Run/Stop, puis suivez les instructions de la fenêtre.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Run on the terminal, without a window: print the directions and the status as they change, ask the version question there, and end with an exit status that says how the update ended (see the manual page).</source>
        <translation>Fonctionner dans le terminal, sans fenêtre&#xa0;: afficher les consignes et l&apos;état à chaque changement, y poser la question de version, et terminer avec un code de sortie qui indique l&apos;issue de la mise à jour (voir la page de manuel).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Use the serial device at &lt;path&gt; instead of searching for a USB adapter. Given several times (with --cli --yes), updates those units side by side.</source>
        <translation>Utiliser le périphérique série &lt;chemin&gt; au lieu de chercher un adaptateur USB. Donné plusieurs fois (avec --cli --yes), met à jour ces unités en parallèle.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli --yes: update every USB adapter&apos;s QZ7 side by side (every port that --list --json shows as taken).</source>
        <translation>Avec --cli --yes&#xa0;: mettre à jour en parallèle le QZ7 de chaque adaptateur USB (chaque port marqué taken par --list --json).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli, --list or --version: JSON Lines on standard output, one object per event (see the manual page); the prose goes to standard error.</source>
        <translation>Avec --cli, --list ou --version&#xa0;: JSON Lines sur la sortie standard, un objet par événement (voir la page de manuel)&#xa0;; le texte va sur la sortie d&apos;erreur.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli: read each QZ7&apos;s version and end without erasing anything.</source>
        <translation>Avec --cli&#xa0;: lire la version de chaque QZ7 et terminer sans rien effacer.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli: leave a QZ7 that already has the firmware this program carries.</source>
        <translation>Avec --cli&#xa0;: ne pas toucher à un QZ7 qui a déjà le micrologiciel de ce programme.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli: append one JSON line per unit to &lt;file&gt; as each unit ends.</source>
        <translation>Avec --cli&#xa0;: ajouter une ligne JSON par unité à &lt;fichier&gt; dès que chaque unité se termine.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Record every byte read from and written to the port, with its time, in &lt;file&gt; (JSON Lines; with several units, one file per unit named by its slot), for qz7-bootsim --replay.</source>
        <translation>Enregistrer chaque octet lu sur le port et écrit sur lui, avec son heure, dans &lt;fichier&gt; (JSON Lines ; avec plusieurs appareils, un fichier par appareil nommé d&apos;après son emplacement), pour qz7-bootsim --replay.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli: answer the version question with Update.</source>
        <translation>Avec --cli&#xa0;: répondre «&#xa0;Mettre à jour&#xa0;» à la question de version.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli --yes: update a QZ7 that has newer firmware than this program carries too (without it, such a QZ7 is left as it is, with exit status 18).</source>
        <translation>Avec --cli --yes&#xa0;: mettre à jour aussi un QZ7 dont le micrologiciel est plus récent que celui de ce programme (sans cette option, un tel QZ7 n&apos;est pas touché, avec le code de sortie 18).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli: give up when no QZ7 has answered within &lt;seconds&gt; (default: wait for ever).</source>
        <translation>Avec --cli&#xa0;: abandonner si aucun QZ7 n&apos;a répondu en &lt;secondes&gt; (par défaut&#xa0;: attendre indéfiniment).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli: stop when the whole update has not ended within &lt;seconds&gt;, as a SIGTERM stops it, with exit status 124.</source>
        <translation>Avec --cli&#xa0;: arrêter si la mise à jour n&apos;est pas terminée en &lt;secondes&gt;, comme le fait SIGTERM, avec le code de sortie 124.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli and one port: the name of the QZ7 on it (its serial number or label), in every record of the update. For several ports: --port PATH=NAME.</source>
        <translation>Avec --cli et un seul port : le nom du QZ7 qui y est branché (son numéro de série ou son étiquette), dans chaque enregistrement de la mise à jour. Pour plusieurs ports : --port CHEMIN=NOM.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli: the operator&apos;s name in every record (default: the login name).</source>
        <translation>Avec --cli : le nom de l’opérateur dans chaque enregistrement (par défaut : le nom de connexion).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The history database to write and read (default: $XDG_STATE_HOME/qz7-updater/history.sqlite).</source>
        <translation>La base d’historique à écrire et à lire (par défaut : $XDG_STATE_HOME/qz7-updater/history.sqlite).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Print the last records of the history (only the records of the unit named after it, with --json as JSON Lines, with --summary the figures per day), and end.</source>
        <translation>Afficher les derniers enregistrements de l’historique (seulement ceux de l’unité nommée après l’option, avec --json en JSON Lines, avec --summary les chiffres par jour), puis terminer.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --history: passed, failed, first-pass yield and units per hour, per day.</source>
        <translation>Avec --history : réussies, échouées, rendement au premier passage et unités par heure, par jour.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli: leave a named QZ7 whose last record is Done with the firmware this program carries.</source>
        <translation>Avec --cli : laisser un QZ7 nommé dont le dernier enregistrement est Done avec le micrologiciel de ce programme.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>List the serial ports with their names, paths and identities, mark the one the updater would choose, and end.</source>
        <translation>Lister les ports série avec leurs noms, chemins et identités, marquer celui que le programme choisirait, et terminer.</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>Try qz7-updater --help.</source>
        <extracomment>After a usage error; keep the command as it is.</extracomment>
        <translation>Essayez qz7-updater --help.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <extracomment>%1 the argument as it was typed.</extracomment>
        <translation>Argument inattendu «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>--port needs the path of a serial device, such as /dev/ttyUSB0.</source>
        <translation>--port demande le chemin d&apos;un périphérique série, par exemple /dev/ttyUSB0.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>--port PATH=NAME needs a path and a name of 1 to 128 characters, none of them a control character.</source>
        <translation>--port PATH=NAME demande un chemin et un nom de 1 à 128 caractères, sans caractère de contrôle.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>--port %1 is given twice: name each adapter once.</source>
        <translation>--port %1 est donné deux fois : nommez chaque adaptateur une seule fois.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--port %1 and --port %2 are the same device: name each adapter once.</source>
        <translation>--port %1 et --port %2 sont le même périphérique : nommez chaque adaptateur une seule fois.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--report needs the name of a file.</source>
        <translation>--report demande un nom de fichier.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>--history-file needs the name of a file.</source>
        <translation>--history-file demande le nom d’un fichier.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--%1 needs a name of 1 to 128 characters, none of them a control character.</source>
        <translation>--%1 demande un nom de 1 à 128 caractères, sans caractère de contrôle.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>--history goes alone (or with a unit&apos;s name, --json, --summary and --history-file).</source>
        <translation>--history s’emploie seul (ou avec le nom d’une unité, --json, --summary et --history-file).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--history --summary counts every unit: it goes without a unit&apos;s name.</source>
        <translation>--history --summary compte toutes les unités : il s’emploie sans nom d’unité.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>--summary goes with --history.</source>
        <translation>--summary s’emploie avec --history.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--unit names the unit on one port: with several, name each as --port PATH=NAME.</source>
        <translation>--unit nomme l’unité d’un seul port : avec plusieurs, nommez chacune par --port CHEMIN=NOM.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--unit names the unit on one port: --all takes every adapter.</source>
        <translation>--unit nomme l’unité d’un seul port : --all prend tous les adaptateurs.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--unit, --operator and --skip-done go with --cli.</source>
        <translation>--unit, --operator et --skip-done s’emploient avec --cli.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--skip-done looks units up by name: give --unit NAME, or --port PATH=NAME for each port.</source>
        <translation>--skip-done cherche les unités par leur nom : donnez --unit NOM, ou --port CHEMIN=NOM pour chaque port.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>--capture needs the name of a file.</source>
        <translation>--capture demande le nom d&apos;un fichier.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>--%1 needs a whole number of seconds, from 1 to 604800 (a week).</source>
        <extracomment>%1 the option&apos;s name without its dashes (wait, timeout).</extracomment>
        <translation>--%1 demande un nombre entier de secondes, de 1 à 604800 (une semaine).</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>--yes, --wait and --timeout go with --cli.</source>
        <translation>--yes, --wait et --timeout s&apos;utilisent avec --cli.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--allow-older goes with --cli.</source>
        <translation>--allow-older s&apos;utilise avec --cli.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--list goes alone (or with --json).</source>
        <translation>--list s&apos;utilise seul (ou avec --json).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--all, --json, --check, --skip-current and --report go with --cli.</source>
        <translation>--all, --json, --check, --skip-current et --report s&apos;utilisent avec --cli.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--all takes every adapter: it goes without --port.</source>
        <translation>--all prend tous les adaptateurs&#xa0;: il s&apos;utilise sans --port.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With several units, --all, --json, --skip-current or --report the version question is answered ahead: add --yes (or --check).</source>
        <translation>Avec plusieurs unités, --all, --json, --skip-current ou --report, la question de version doit avoir sa réponse d&apos;avance&#xa0;: ajoutez --yes (ou --check).</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>cannot write to standard output: %1</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the system&apos;s error text.</extracomment>
        <translation>impossible d&apos;écrire sur la sortie standard&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>OneLine</name>
    <message>
        <location filename="../core/Words.cpp" line="+25"/>
        <source>Version not Found. Update anyway?</source>
        <translation>Version introuvable. Mettre à jour quand même&#xa0;?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Erased. Please restart the program and the QZ7</source>
        <translation>Non effacé. Veuillez redémarrer le programme et le QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>USB adapter disconnected. Please restart the program and the QZ7</source>
        <translation>Adaptateur USB déconnecté. Veuillez redémarrer le programme et le QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No version reply. Please restart the program and the QZ7</source>
        <translation>Aucune réponse de version. Veuillez redémarrer le programme et le QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware image damaged. Please reinstall the program</source>
        <translation>Image du micrologiciel endommagée. Veuillez réinstaller le programme</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Done. Please restart the program and the QZ7</source>
        <translation>Non terminé. Veuillez redémarrer le programme et le QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 restarted during the update. It has no firmware now. Restart the program, power on the QZ7 while holding Run/Stop, and update again</source>
        <translation>Le QZ7 a redémarré pendant la mise à jour. Il n&apos;a plus de micrologiciel. Redémarrez le programme, allumez le QZ7 en maintenant Run/Stop, puis refaites la mise à jour</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>QZ7 stopped accepting data. Please restart the program and the QZ7</source>
        <translation>Le QZ7 n&apos;accepte plus de données. Veuillez redémarrer le programme et le QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 stopped before the whole image was sent. It has no firmware now. Restart the program, power on the QZ7 while holding Run/Stop, and update again</source>
        <translation>Le QZ7 s&apos;est arrêté avant la fin de l&apos;envoi de l&apos;image. Il n&apos;a plus de micrologiciel. Redémarrez le programme, allumez le QZ7 en maintenant Run/Stop, puis refaites la mise à jour</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Found Version: %1. Update To: QZ7 V%2?</source>
        <extracomment>%1 the version the QZ7 reported, %2 the firmware this program carries.</extracomment>
        <translation>Version trouvée&#xa0;: %1. Mettre à jour vers QZ7 V%2&#xa0;?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unexpected reply: %1. Please restart the program and the QZ7</source>
        <extracomment>%1 the QZ7&apos;s reply as it sent it (at most 40 characters, escaped).</extracomment>
        <translation>Réponse inattendue&#xa0;: %1. Veuillez redémarrer le programme et le QZ7</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An Exception Occured: %1</source>
        <extracomment>%1 the error&apos;s own text, from the system.</extracomment>
        <translation>Une exception s&apos;est produite&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>QCommandLineParser</name>
    <message>
        <location filename="../app/Startup.cpp" line="-346"/>
        <source>Displays help on commandline options.</source>
        <translation>Affiche l&apos;aide sur les options de la ligne de commande.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Displays help including Qt specific options.</source>
        <translation>Affiche l&apos;aide, y compris les options propres à Qt.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Displays version information.</source>
        <translation>Affiche les informations de version.</translation>
    </message>
</context>
<context>
    <name>QZ7UpdaterWindow</name>
    <message>
        <location filename="../window/QZ7_Updater.ui" line="+12"/>
        <source>QZ7 Updater</source>
        <translation>QZ7 Updater</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Puts new firmware on a QZ7 through a USB serial adapter</source>
        <translation>Installe un nouveau micrologiciel sur un QZ7 via un adaptateur série USB</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>QZ7s an earlier update left without firmware</source>
        <translation>QZ7 laissés sans micrologiciel par une mise à jour précédente</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>QZ7 front panel</source>
        <translation>Façade du QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Picture of the QZ7 the updater found, its display reading BOOT</source>
        <translation>Illustration du QZ7 trouvé par le programme, son afficheur indiquant BOOT</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>How the update ended</source>
        <translation>Issue de la mise à jour</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>What to do next</source>
        <translation>Que faire ensuite</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Details: the adapter, the progress, what went wrong</source>
        <translation>Détails&#xa0;: l&apos;adaptateur, la progression, ce qui n&apos;a pas fonctionné</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Command to run</source>
        <translation>Commande à exécuter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A command for a terminal, to select or copy</source>
        <translation>Une commande pour un terminal, à sélectionner ou copier</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Copies the command to the clipboard</source>
        <translation>Copie la commande dans le presse-papiers</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Details, after the command</source>
        <translation>Détails, après la commande</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Update progress</source>
        <translation>Progression de la mise à jour</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Share of the firmware sent to the QZ7</source>
        <translation>Part du micrologiciel envoyée au QZ7</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Save report…</source>
        <extracomment>Saves a file for support: what went over the line, and the transcript.</extracomment>
        <translation>Enregistrer le rapport…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Saves the capture of the QZ7&apos;s bytes and the transcript in one file to send to support</source>
        <translation>Enregistre la capture des octets du QZ7 et le journal dans un fichier à envoyer au support</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Restart</source>
        <extracomment>A failure screen&apos;s button: starts again, looking for the adapter and waiting for the QZ7. The status line names it.</extracomment>
        <translation>Redémarrer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Starts the update again from Connect USB adapter; then power the QZ7 on while holding Run/Stop</source>
        <translation>Reprend la mise à jour à l&apos;étape «&#xa0;Branchez l&apos;adaptateur USB&#xa0;»&#xa0;; allumez ensuite le QZ7 en maintenant Run/Stop</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Update another QZ7</source>
        <extracomment>After Done: waits for the next QZ7 on the same adapter. The status line names it.</extracomment>
        <translation>Mettre à jour un autre QZ7</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Starts over for the next QZ7 on the same adapter</source>
        <translation>Recommence pour le QZ7 suivant sur le même adaptateur</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Cancel</source>
        <extracomment>Answers the version question: ends the program and leaves the QZ7 as it is.</extracomment>
        <translation>Annuler</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Leaves the QZ7 as it is and closes the program</source>
        <translation>Laisse le QZ7 tel quel et ferme le programme</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Update</source>
        <extracomment>Answers the version question: erases the QZ7 and sends it the new firmware.</extracomment>
        <translation>Mettre à jour</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Closes the program</source>
        <translation>Ferme le programme</translation>
    </message>
</context>
<context>
    <name>Status</name>
    <message>
        <location filename="../core/Status.cpp" line="+42"/>
        <source>%1 s</source>
        <extracomment>A duration in seconds (&quot;5 s&quot;).</extracomment>
        <translation>%1 s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 min %2 s</source>
        <extracomment>A duration: %1 minutes, %2 seconds.</extracomment>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>No permission to open %1 (owner %2, group %3).</source>
        <extracomment>%1 the device path, %2 its owner&apos;s user name, %3 its group.</extracomment>
        <translation>Pas d&apos;autorisation pour ouvrir %1 (propriétaire %2, groupe %3).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Only its owner may use it. An administrator can give access with a udev rule (see &quot;Permission to use the adapter&quot; in the README).</source>
        <translation>Seul son propriétaire peut l&apos;utiliser. Un administrateur peut donner l&apos;accès par une règle udev (voir «&#xa0;Permission to use the adapter&#xa0;» dans le README).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>You are in the group %1, but this login is not yet: log out and back in, then start the updater again.</source>
        <extracomment>%1 the group&apos;s name (dialout).</extracomment>
        <translation>Vous êtes dans le groupe %1, mais cette session ne l’est pas encore&#xa0;: déconnectez-vous, reconnectez-vous, puis relancez le programme.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>You are in the group %1 already; an administrator needs to check the device&apos;s access rules.</source>
        <extracomment>%1 the group&apos;s name (dialout).</extracomment>
        <translation>Vous êtes déjà dans le groupe %1&#xa0;; un administrateur doit vérifier les règles d&apos;accès du périphérique.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Add yourself to the group with</source>
        <extracomment>A command follows on a line of its own (sudo adduser …), then &quot;then log out and back in …&quot;.</extracomment>
        <translation>Ajoutez-vous au groupe avec</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>then log out and back in (the group counts only for a new login).</source>
        <translation>puis déconnectez-vous et reconnectez-vous (le groupe ne compte que pour une nouvelle session).</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>%1 (PID %2)</source>
        <extracomment>A program that holds the port: %1 its name, %2 its process number.</extracomment>
        <translation>%1 (PID %2)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 is in use by another program.</source>
        <translation>%1 est utilisé par un autre programme.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 is in use by another program: %2.</source>
        <extracomment>%1 the device path, %2 the programs that hold it.</extracomment>
        <translation>%1 est utilisé par un autre programme&#xa0;: %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Close it; the updater opens the adapter as soon as it is free.</source>
        <translation>Fermez-le&#xa0;; le programme ouvre l&apos;adaptateur dès qu&apos;il est libre.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 is running; it is known to take serial adapters.</source>
        <extracomment>%1 a program&apos;s name (ModemManager).</extracomment>
        <translation>%1 est en cours d&apos;exécution&#xa0;; il accapare souvent les adaptateurs série.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 are running; they are known to take serial adapters.</source>
        <extracomment>%1 programs&apos; names, joined by &quot;and&quot;.</extracomment>
        <translation>%1 sont en cours d&apos;exécution&#xa0;; ils accaparent souvent les adaptateurs série.</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+40"/>
        <source>and</source>
        <extracomment>Joins the last two names of a list (&quot;A, B and C&quot;).</extracomment>
        <translation>et</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>%1 is not a serial port. Name the adapter&apos;s device, such as /dev/ttyUSB0.</source>
        <translation>%1 n&apos;est pas un port série. Indiquez le périphérique de l&apos;adaptateur, par exemple /dev/ttyUSB0.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cannot open %1: %2.</source>
        <extracomment>%1 the device path, %2 the system&apos;s error text.</extracomment>
        <translation>Impossible d&apos;ouvrir %1&#xa0;: %2.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cannot set up %1 (%2): %3.</source>
        <extracomment>%1 the device path, %2 the system call that failed (tcsetattr), %3 the system&apos;s error text.</extracomment>
        <translation>Impossible de configurer %1 (%2)&#xa0;: %3.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Plug the adapter in again.</source>
        <translation>Rebranchez l&apos;adaptateur.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The updater keeps trying.</source>
        <translation>Le programme continue d&apos;essayer.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 is the terminal this program runs on, not an adapter. Name the adapter&apos;s device, such as /dev/ttyUSB0.</source>
        <translation>%1 est le terminal de ce programme, pas un adaptateur. Indiquez le périphérique de l&apos;adaptateur, par exemple /dev/ttyUSB0.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Cannot open %1: %2. Name the adapter&apos;s device, such as /dev/ttyUSB0.</source>
        <translation>Impossible d&apos;ouvrir %1&#xa0;: %2. Indiquez le périphérique de l&apos;adaptateur, par exemple /dev/ttyUSB0.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No USB serial adapter found.</source>
        <translation>Aucun adaptateur série USB trouvé.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The system lists no serial port at all: plug the adapter in, or try another USB socket or cable.</source>
        <translation>Le système ne voit aucun port série&#xa0;: branchez l&apos;adaptateur, ou essayez une autre prise USB ou un autre câble.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Seen: %1, not a USB adapter.</source>
        <extracomment>%1 the serial ports the system lists, joined by commas and &quot;and&quot;.</extracomment>
        <translation>Port vu&#xa0;: %1, ce n&apos;est pas un adaptateur USB.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seen: %1, not USB adapters.</source>
        <translation>Ports vus&#xa0;: %1, ce ne sont pas des adaptateurs USB.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>An adapter appeared at %1 and went away again: brltty, a braille display driver, is running and takes such adapters. Unless you use a braille display, remove it with</source>
        <extracomment>%1 the device path; the command that removes brltty follows on a line of its own.</extracomment>
        <translation>Un adaptateur est apparu sur %1 puis a disparu&#xa0;: brltty, un pilote d&apos;afficheur braille, est en cours d&apos;exécution et accapare ces adaptateurs. Si vous n&apos;utilisez pas d&apos;afficheur braille, supprimez-le avec</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>then plug the adapter in again.</source>
        <translation>puis rebranchez l&apos;adaptateur.</translation>
    </message>
    <message>
        <location line="+12"/>
        <location filename="../terminal/PortList.cpp" line="+16"/>
        <source>serial %1</source>
        <extracomment>%1 the adapter&apos;s USB serial number.</extracomment>
        <translation>n° de série %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Adapter on %1</source>
        <translation>Adaptateur sur %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Adapter on %1: %2</source>
        <extracomment>%1 the device path, %2 what the adapter says of itself (maker, USB ids, serial number).</extracomment>
        <translation>Adaptateur sur %1&#xa0;: %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Nothing from the QZ7 for %1 s. Switch it off, then hold the front Run/Stop button while you switch it on. Check that the cable goes to the QZ7.</source>
        <extracomment>%1 the seconds without a byte from the QZ7.</extracomment>
        <translation>Rien reçu du QZ7 depuis %1 s. Éteignez-le, puis maintenez le bouton Run/Stop en façade pendant que vous l&apos;allumez. Vérifiez que le câble est bien relié au QZ7.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>No answer from the QZ7 for %1 s. Check the cable and the QZ7&apos;s power; the update goes on as soon as it answers.</source>
        <extracomment>%1 the seconds without a byte from the QZ7.</extracomment>
        <translation>Aucune réponse du QZ7 depuis %1 s. Vérifiez le câble et l&apos;alimentation du QZ7&#xa0;; la mise à jour reprend dès qu&apos;il répond.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>its banner</source>
        <extracomment>What the updater waits for: %2 of &quot;The QZ7 sent …, not %2&quot; (also the next five texts).</extracomment>
        <translation>son message d&apos;accueil</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>a version (a line with &quot;V&quot;)</source>
        <translation>une version (une ligne avec «&#xa0;V&#xa0;»)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the prompt &quot;E or P?&quot;</source>
        <translation>l&apos;invite «&#xa0;E or P?&#xa0;»</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;Erased&quot;</source>
        <translation>«&#xa0;Erased&#xa0;»</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;Done&quot;</source>
        <translation>«&#xa0;Done&#xa0;»</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>the &quot;*&quot; that asks for the next line</source>
        <translation>le «&#xa0;*&#xa0;» qui demande la ligne suivante</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The QZ7 sent only empty lines, not %1; the updater waits on.</source>
        <extracomment>%1 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>Le QZ7 n&apos;a envoyé que des lignes vides, pas %1&#xa0;; le programme continue d&apos;attendre.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The QZ7 sent what the updater cannot read (&quot;%1&quot;), not %2; the updater waits on.</source>
        <extracomment>%1 the QZ7&apos;s bytes (escaped), %2 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>Le QZ7 a envoyé des données illisibles («&#xa0;%1&#xa0;»), pas %2&#xa0;; le programme continue d&apos;attendre.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The QZ7 sent &quot;%1&quot; and has not ended the line; the updater waits for %2.</source>
        <extracomment>%1 the QZ7&apos;s bytes (escaped), %2 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>Le QZ7 a envoyé «&#xa0;%1&#xa0;» sans terminer la ligne&#xa0;; le programme attend %2.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The QZ7 sent &quot;%1&quot;, not %2; the updater waits on.</source>
        <extracomment>%1 the QZ7&apos;s bytes (escaped), %2 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>Le QZ7 a envoyé «&#xa0;%1&#xa0;», pas %2&#xa0;; le programme continue d&apos;attendre.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>If it stays so, the QZ7 must be restarted: switch it off, hold Run/Stop while you switch it on, and update again.</source>
        <translation>Si cela persiste, il faut redémarrer le QZ7&#xa0;: éteignez-le, maintenez Run/Stop pendant que vous l&apos;allumez, puis refaites la mise à jour.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A wrong line speed, a wrong cable, or another device than a QZ7 in boot-loader mode sends such bytes: check the cable and what it is plugged into.</source>
        <translation>Une mauvaise vitesse de ligne, un mauvais câble ou un autre appareil qu&apos;un QZ7 en mode chargeur d&apos;amorçage envoie de tels octets&#xa0;: vérifiez le câble et ce à quoi il est branché.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>If it stays so, check that the cable goes to a QZ7 switched on with Run/Stop held.</source>
        <translation>Si cela persiste, vérifiez que le câble est relié à un QZ7 allumé avec Run/Stop maintenu.</translation>
    </message>
    <message numerus="yes">
        <location line="+6"/>
        <source>The QZ7 answered %n times without &quot;E or P?&quot;, last with &quot;%1&quot;. It may not be a QZ7 in boot-loader mode: switch it off, hold Run/Stop while you switch it on, and check what the cable goes to.</source>
        <comment>The QZ7 answered %n time without &quot;E or P?&quot;, last with &quot;%1&quot;. It may not be a QZ7 in boot-loader mode: switch it off, hold Run/Stop while you switch it on, and check what the cable goes to.</comment>
        <extracomment>%n the QZ7&apos;s answers, %1 the last of them (escaped). &quot;E or P?&quot; is the QZ7&apos;s own prompt: keep it.</extracomment>
        <translation>
            <numerusform>Le QZ7 a répondu %n fois sans «&#xa0;E or P?&#xa0;», par «&#xa0;%1&#xa0;». Ce n&apos;est peut-être pas un QZ7 en mode chargeur d&apos;amorçage&#xa0;: éteignez-le, maintenez Run/Stop pendant que vous l&apos;allumez, et vérifiez à quoi le câble est relié.</numerusform>
            <numerusform>Le QZ7 a répondu %n fois sans «&#xa0;E or P?&#xa0;», la dernière fois par «&#xa0;%1&#xa0;». Ce n&apos;est peut-être pas un QZ7 en mode chargeur d&apos;amorçage&#xa0;: éteignez-le, maintenez Run/Stop pendant que vous l&apos;allumez, et vérifiez à quoi le câble est relié.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+32"/>
        <source>Sent %n lines (%1 kB) in %2 s. The QZ7 now has firmware %3.</source>
        <comment>Sent %n line (%1 kB) in %2 s. The QZ7 now has firmware %3.</comment>
        <extracomment>%n the image lines sent, %1 kilobytes, %2 seconds, %3 the firmware version (&quot;V2.007&quot;).</extracomment>
        <translation>
            <numerusform>%n ligne (%1 ko) envoyée en %2 s. Le QZ7 a maintenant le micrologiciel %3.</numerusform>
            <numerusform>%n lignes (%1 ko) envoyées en %2 s. Le QZ7 a maintenant le micrologiciel %3.</numerusform>
        </translation>
    </message>
    <message>
        <location line="-20"/>
        <source>Line %1 of %2</source>
        <extracomment>%1 the image line being sent, %2 the image&apos;s lines.</extracomment>
        <translation>Ligne %1 sur %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, </source>
        <extracomment>Between the parts of the transfer&apos;s progress: &quot;Line 12 of 3075, 13.2 kB/s, about 5 s left&quot;.</extracomment>
        <translation>, </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 B/s</source>
        <extracomment>The transfer&apos;s speed in bytes per second.</extracomment>
        <translation>%1 o/s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 kB/s</source>
        <translation>%1 ko/s</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>about %1 left</source>
        <extracomment>%1 a duration (&quot;30 s&quot;, &quot;1 min 5 s&quot;).</extracomment>
        <translation>encore environ %1</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>You can disconnect it now; for the next QZ7, press Update another QZ7.</source>
        <extracomment>&quot;Update another QZ7&quot; is the window&apos;s button: use its text.</extracomment>
        <translation>Vous pouvez le débrancher maintenant&#xa0;; pour le QZ7 suivant, cliquez sur «&#xa0;Mettre à jour un autre QZ7&#xa0;».</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Stopped while waiting for the QZ7&apos;s banner.</source>
        <translation>Arrêté en attendant le message d&apos;accueil du QZ7.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stopped while reading the QZ7&apos;s version.</source>
        <translation>Arrêté pendant la lecture de la version du QZ7.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stopped while waiting for the erase prompt.</source>
        <translation>Arrêté en attendant l&apos;invite d&apos;effacement.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stopped while waiting for the erase to finish.</source>
        <translation>Arrêté en attendant la fin de l&apos;effacement.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Stopped while sending the image, after line %1 of %2.</source>
        <translation>Arrêté pendant l&apos;envoi de l&apos;image, après la ligne %1 sur %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Stopped while waiting for &quot;Done&quot; after the last line.</source>
        <translation>Arrêté en attendant «&#xa0;Done&#xa0;» après la dernière ligne.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Stopped while in dialogue state %1.</source>
        <extracomment>%1 a number: a state the program never reaches.</extracomment>
        <translation>Arrêté dans l&apos;état de dialogue %1.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The adapter&apos;s line went dead: it was unplugged or lost power.</source>
        <translation>La ligne de l&apos;adaptateur est coupée&#xa0;: il a été débranché ou n&apos;est plus alimenté.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The adapter stopped working (%1, errno %2): it was unplugged or lost power.</source>
        <translation>L&apos;adaptateur ne fonctionne plus (%1, errno %2)&#xa0;: il a été débranché ou n&apos;est plus alimenté.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Last from the QZ7: &quot;%1&quot;.</source>
        <extracomment>%1 the QZ7&apos;s last reply (escaped).</extracomment>
        <translation>Dernière réception du QZ7&#xa0;: «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The QZ7 may have no firmware now: press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on.</source>
        <extracomment>Restart is the window&apos;s button: use its text.</extracomment>
        <translation>Le QZ7 n&apos;a peut-être plus de micrologiciel&#xa0;: cliquez sur «&#xa0;Redémarrer&#xa0;», éteignez le QZ7, puis maintenez Run/Stop pendant que vous l&apos;allumez.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The QZ7 has no firmware now: press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on.</source>
        <extracomment>Restart is the window&apos;s button: use its text.</extracomment>
        <translation>Le QZ7 n&apos;a plus de micrologiciel&#xa0;: cliquez sur «&#xa0;Redémarrer&#xa0;», éteignez le QZ7, puis maintenez Run/Stop pendant que vous l&apos;allumez.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on.</source>
        <extracomment>Restart is the window&apos;s button: use its text.</extracomment>
        <translation>Cliquez sur «&#xa0;Redémarrer&#xa0;», éteignez le QZ7, puis maintenez Run/Stop pendant que vous l&apos;allumez.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The QZ7 may have no firmware now: switch it off, then hold Run/Stop while you switch it on.</source>
        <translation>Le QZ7 n&apos;a peut-être plus de micrologiciel&#xa0;: éteignez-le, puis maintenez Run/Stop pendant que vous l&apos;allumez.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The QZ7 has no firmware now: switch it off, then hold Run/Stop while you switch it on.</source>
        <translation>Le QZ7 n&apos;a plus de micrologiciel&#xa0;: éteignez-le, puis maintenez Run/Stop pendant que vous l&apos;allumez.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>This QZ7 has %1, newer than the %2 this program carries: Update would put the older firmware on it.</source>
        <extracomment>%1 the version on the QZ7, %2 the firmware this program carries.</extracomment>
        <translation>Ce QZ7 a la version %1, plus récente que la %2 de ce programme&#xa0;: «&#xa0;Mettre à jour&#xa0;» y mettrait le micrologiciel plus ancien.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>This QZ7 already has %1, the firmware this program carries.</source>
        <extracomment>%1 the version on the QZ7.</extracomment>
        <translation>Ce QZ7 a déjà la version %1, le micrologiciel de ce programme.</translation>
    </message>
</context>
<context>
    <name>Terminal</name>
    <message>
        <location filename="../run/BenchRun.cpp" line="+154"/>
        <source>The history could not be written to %1: %2.</source>
        <extracomment>%1 the file, %2 the error.</extracomment>
        <translation>L’historique n’a pas pu être écrit dans %1 : %2.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The report could not be written to %1: %2.</source>
        <extracomment>%1 the file, %2 the error.</extracomment>
        <translation>Impossible d&apos;écrire le rapport dans %1&#xa0;: %2.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Ended: %1 (status %2).</source>
        <extracomment>%1 the outcome&apos;s name as scripts read it (&quot;done&quot;, &quot;not-erased&quot;: keep it), %2 the exit status.</extracomment>
        <translation>Fin&#xa0;: %1 (code %2).</translation>
    </message>
    <message numerus="yes">
        <location line="+36"/>
        <source>%n units, %1 ended well, %2 did not (exit status %3).</source>
        <comment>%n unit, %1 ended well, %2 did not (exit status %3).</comment>
        <extracomment>The bench&apos;s last line: %n units in all, %1 of them ended well, %2 did not, %3 the exit status.</extracomment>
        <translation>
            <numerusform>%n unité, %1 terminée correctement, %2 non (code de sortie %3).</numerusform>
            <numerusform>%n unités, %1 terminées correctement, %2 non (code de sortie %3).</numerusform>
        </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%1 before any adapter was found: nothing was done to any port.</source>
        <extracomment>%1 says what stopped the bench (&quot;Stopped after 5 s (--timeout)&quot;, &quot;Interrupted&quot;).</extracomment>
        <translation>%1 avant qu&apos;un adaptateur soit trouvé&#xa0;: rien n&apos;a été fait sur aucun port.</translation>
    </message>
    <message numerus="yes">
        <location line="+55"/>
        <source>Found %n adapters.</source>
        <comment>Found %n adapter.</comment>
        <translation>
            <numerusform>%n adaptateur trouvé.</numerusform>
            <numerusform>%n adaptateurs trouvés.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Found the USB adapter: %1.</source>
        <extracomment>%1 the device path.</extracomment>
        <translation>Adaptateur USB trouvé&#xa0;: %1.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>cannot write the report %1: %2. Nothing was done to any port.</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the report file, %2 the system&apos;s error text.</extracomment>
        <translation>impossible d&apos;écrire le rapport %1&#xa0;: %2. Rien n&apos;a été fait sur aucun port.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>cannot keep the history %1: %2. Nothing was done to any port.</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the history file, %2 what went wrong.</extracomment>
        <translation>impossible de tenir l&apos;historique %1&#xa0;: %2. Rien n&apos;a été fait sur aucun port.</translation>
    </message>
    <message>
        <location line="+11"/>
        <location filename="../run/UnitRun.cpp" line="+47"/>
        <source>Stopped after %1 s (--timeout)</source>
        <extracomment>%1 the --timeout seconds. Starts a sentence: &quot;… during the update: the QZ7 has no firmware now.&quot;</extracomment>
        <translation>Arrêté après %1 s (--timeout)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Looking for USB adapters.</source>
        <translation>Recherche des adaptateurs USB.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Looking for the USB adapter.</source>
        <translation>Recherche de l&apos;adaptateur USB.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No QZ7 within %1 s: no usable USB adapter was found. Plug the adapters in and run again.</source>
        <translation>Aucun QZ7 en %1 s&#xa0;: aucun adaptateur USB utilisable trouvé. Branchez les adaptateurs et relancez.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No QZ7 within %1 s: no usable USB adapter was found. Plug the adapter in and run again.</source>
        <translation>Aucun QZ7 en %1 s&#xa0;: aucun adaptateur USB utilisable trouvé. Branchez l&apos;adaptateur et relancez.</translation>
    </message>
    <message>
        <location line="-251"/>
        <location filename="../terminal/BenchPrinter.cpp" line="+93"/>
        <source>Nothing was done to this port.</source>
        <translation>Rien n&apos;a été fait sur ce port.</translation>
    </message>
    <message>
        <location filename="../terminal/BenchPrinter.cpp" line="-52"/>
        <source>%1. Let the other units finish; then switch this QZ7 off, hold Run/Stop while you switch it on, and update it again on this port.</source>
        <extracomment>%1 the failure&apos;s headline (&quot;Not Erased&quot;).</extracomment>
        <translation>%1. Laissez les autres appareils terminer, puis éteignez ce QZ7, rallumez-le en maintenant Run/Stop et mettez-le à jour de nouveau sur ce port.</translation>
    </message>
    <message numerus="yes">
        <location line="+7"/>
        <source>Sending the firmware image (%n lines).</source>
        <comment>Sending the firmware image (%n line).</comment>
        <translation>
            <numerusform>Envoi de l&apos;image du micrologiciel (%n ligne).</numerusform>
            <numerusform>Envoi de l&apos;image du micrologiciel (%n lignes).</numerusform>
        </translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Update to the older firmware? y (--yes --allow-older)</source>
        <extracomment>The question answered by the options: &quot;y&quot; stands for the answer, the options as they are.</extracomment>
        <translation>Mettre le micrologiciel plus ancien&#xa0;? y (--yes --allow-older)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update? y (--yes)</source>
        <translation>Mettre à jour&#xa0;? y (--yes)</translation>
    </message>
    <message>
        <location filename="../run/BenchRun.cpp" line="+275"/>
        <source>Version %1, older than the %2 this program carries: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7, %2 the firmware this program carries.</extracomment>
        <translation>Version %1, plus ancienne que la %2 de ce programme&#xa0;: rien n&apos;a été effacé (--check).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Version %1, the one this program carries: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7.</extracomment>
        <translation>Version %1, celle de ce programme&#xa0;: rien n&apos;a été effacé (--check).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Version %1, newer than the %2 this program carries: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7, %2 the firmware this program carries.</extracomment>
        <translation>Version %1, plus récente que la %2 de ce programme&#xa0;: rien n&apos;a été effacé (--check).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Version %1: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7, which cannot be compared.</extracomment>
        <translation>Version %1&#xa0;: rien n&apos;a été effacé (--check).</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Version not found: nothing erased (--check).</source>
        <translation>Version introuvable&#xa0;: rien n&apos;a été effacé (--check).</translation>
    </message>
    <message>
        <location filename="../terminal/BenchPrinter.cpp" line="+19"/>
        <source>Already on %1: not updated (--skip-current).</source>
        <extracomment>%1 the firmware version.</extracomment>
        <translation>Déjà en %1&#xa0;: pas de mise à jour (--skip-current).</translation>
    </message>
    <message>
        <location filename="../core/RunRules.cpp" line="+84"/>
        <source>This QZ7 has %1, newer than %2: not updated. Use --allow-older to put %2 on it anyway.</source>
        <translation>Ce QZ7 a la version %1, plus récente que %2&#xa0;: pas de mise à jour. Utilisez --allow-older pour y mettre %2 quand même.</translation>
    </message>
    <message numerus="yes">
        <location filename="../terminal/Terminal.cpp" line="+47"/>
        <source>Sending the firmware image (%n characters).</source>
        <comment>Sending the firmware image (%n character).</comment>
        <translation>
            <numerusform>Envoi de l&apos;image du micrologiciel (%n caractère).</numerusform>
            <numerusform>Envoi de l&apos;image du micrologiciel (%n caractères).</numerusform>
        </translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Not updated: the QZ7 was left as it was.</source>
        <translation>Pas de mise à jour&#xa0;: le QZ7 est resté tel quel.</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Update to the older firmware? [y/N]</source>
        <translation>Mettre le micrologiciel plus ancien&#xa0;? [y/N]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Update? [y/N]</source>
        <translation>Mettre à jour&#xa0;? [y/N]</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Update to the older firmware? [y/N] y (--yes --allow-older)</source>
        <extracomment>The question answered by the options: &quot;y&quot; stands for the answer, the options as they are.</extracomment>
        <translation>Mettre le micrologiciel plus ancien&#xa0;? [y/N] y (--yes --allow-older)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update? [y/N] y (--yes)</source>
        <translation>Mettre à jour&#xa0;? [y/N] y (--yes)</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>(answer too long)</source>
        <translation>(réponse trop longue)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>(end of input)</source>
        <translation>(fin de l&apos;entrée)</translation>
    </message>
    <message>
        <location filename="../run/Bounds.cpp" line="+41"/>
        <source>No QZ7 within %1 s: the port is open but nothing answered. Power on the QZ7 while holding Run/Stop.</source>
        <extracomment>%1 the --wait seconds (also in the next three texts).</extracomment>
        <translation>Aucun QZ7 en %1 s&#xa0;: le port est ouvert mais rien n&apos;a répondu. Allumez le QZ7 en maintenant Run/Stop.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No QZ7 within %1 s: no permission to open the port (the line above says how to get it).</source>
        <translation>Aucun QZ7 en %1 s&#xa0;: pas d&apos;autorisation pour ouvrir le port (la ligne ci-dessus indique comment l&apos;obtenir).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No QZ7 within %1 s: the port is in use by another program. Close that program and run again.</source>
        <translation>Aucun QZ7 en %1 s&#xa0;: le port est utilisé par un autre programme. Fermez ce programme et relancez.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No QZ7 within %1 s: no usable USB adapter was found. Plug the adapter in (or check the path given with --port) and run again.</source>
        <translation>Aucun QZ7 en %1 s&#xa0;: aucun adaptateur USB utilisable trouvé. Branchez l&apos;adaptateur (ou vérifiez le chemin donné avec --port) et relancez.</translation>
    </message>
    <message>
        <location filename="../core/RunRules.cpp" line="-20"/>
        <source>%1 during the update: the QZ7 has no firmware now. Power it on again while holding Run/Stop and update again.</source>
        <translation>%1 pendant la mise à jour&#xa0;: le QZ7 n&apos;a plus de micrologiciel. Rallumez-le en maintenant Run/Stop et refaites la mise à jour.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 before anything was erased: the QZ7 is as it was.</source>
        <translation>%1 avant tout effacement&#xa0;: le QZ7 est resté tel quel.</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>y yes</source>
        <extracomment>The words that answer yes at the terminal&apos;s &quot;[y/N]&quot; question, lower case, separated by spaces. Keep &quot;y yes&quot; and add the language&apos;s own short and long yes.</extracomment>
        <translation>y yes o oui</translation>
    </message>
    <message>
        <location filename="../terminal/Terminal.h" line="+22"/>
        <source>Not updated: the port given with --port cannot be used (with --wait the updater waits for it). Nothing was done to any port.</source>
        <translation>Pas de mise à jour&#xa0;: le port donné avec --port est inutilisable (avec --wait, le programme l&apos;attend). Rien n&apos;a été fait sur aucun port.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not updated: the port given with --port cannot be used: it is no terminal, and waiting does not make it one. Nothing was done to any port.</source>
        <translation>Non mis à jour : le port donné avec --port est inutilisable : ce n&apos;est pas un terminal, et attendre n&apos;y change rien. Aucun port n&apos;a été touché.</translation>
    </message>
    <message>
        <location filename="../run/Bounds.cpp" line="+22"/>
        <source>The QZ7 is being programmed: stopping now would leave it without firmware. The update goes on; press Ctrl+C again within 5 s to stop.</source>
        <translation>Le QZ7 est en cours de programmation&#xa0;: l&apos;arrêter maintenant le laisserait sans micrologiciel. La mise à jour continue&#xa0;; appuyez de nouveau sur Ctrl+C dans les 5 s pour arrêter.</translation>
    </message>
    <message>
        <location filename="../run/BenchRun.cpp" line="-107"/>
        <location filename="../run/UnitRun.cpp" line="+124"/>
        <source>Interrupted</source>
        <extracomment>Stopped by Ctrl+C or a signal. Starts a sentence: &quot;… during the update: …&quot;, &quot;… before anything was erased: …&quot;.</extracomment>
        <translation>Interrompu</translation>
    </message>
    <message>
        <location filename="../run/Ledger.cpp" line="+118"/>
        <source>Last updated to %1 (Done) at %2: not updated again (--skip-done).</source>
        <extracomment>%1 the firmware version, %2 the time (UTC).</extracomment>
        <translation>Dernière mise à jour vers %1 (Done) le %2&#xa0;: pas de nouvelle mise à jour (--skip-done).</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The QZ7 %1 on %2 was left without firmware at %3; update it again.</source>
        <extracomment>%1 the unit&apos;s name, %2 its slot (the USB socket), %3 the time (UTC).</extracomment>
        <translation>Le QZ7 %1 sur %2 est resté sans micrologiciel le %3&#xa0;; mettez-le à jour à nouveau.</translation>
    </message>
    <message>
        <location filename="../run/History.cpp" line="+421"/>
        <source>%1  %2  unit %3  slot %4  operator %5  station %6  found %7  firmware %8  lines %9</source>
        <extracomment>--history: one record. %1 its time, %2 the outcome&apos;s name (&quot;done&quot;, kept as it is), %3 the unit, %4 the slot, %5 the operator, %6 the station, %7 the version found, %8 the firmware sent, %9 the lines sent. The labels are read by people; keep two spaces between fields.</extracomment>
        <translation>%1  %2  unité %3  emplacement %4  opérateur %5  poste %6  trouvée %7  micrologiciel %8  lignes %9</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>(erase asked for at %1, no end recorded)</source>
        <translation>(effacement demandé à %1, aucune fin enregistrée)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1  passed %2  failed %3  first-pass yield %4 %  units per hour %5</source>
        <extracomment>--history --summary: one day. %1 the day, %2 passed, %3 failed, %4 the first-pass yield in per cent, %5 units per hour.</extracomment>
        <translation>%1  réussies %2  échouées %3  rendement au premier passage %4&#xa0;%  unités par heure %5</translation>
    </message>
    <message>
        <location filename="../run/HistoryList.cpp" line="+17"/>
        <source>No records yet in %1.</source>
        <extracomment>%1 the history file.</extracomment>
        <translation>Pas encore d&apos;enregistrement dans %1.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>cannot read the history %1: %2</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the history file, %2 the error.</extracomment>
        <translation>impossible de lire l&apos;historique %1&#xa0;: %2</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>No records of %1.</source>
        <extracomment>%1 the unit&apos;s name.</extracomment>
        <translation>Aucun enregistrement de %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No records.</source>
        <translation>Aucun enregistrement.</translation>
    </message>
    <message>
        <location filename="../terminal/PortList.cpp" line="+10"/>
        <location line="+38"/>
        <source>The serial ports could not be listed: the system&apos;s port enumeration did not start.</source>
        <translation>Les ports série n&apos;ont pas pu être listés&#xa0;: l&apos;énumération des ports du système n&apos;a pas démarré.</translation>
    </message>
    <message>
        <location line="-34"/>
        <source>No serial ports found. Plug in the USB serial adapter, or name a port with --port PATH.</source>
        <translation>Aucun port série trouvé. Branchez l&apos;adaptateur série USB, ou nommez un port avec --port CHEMIN.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>no device path</source>
        <translation>pas de chemin de périphérique</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>not considered (after the listing&apos;s end)</source>
        <translation>non examiné (après la fin de la liste)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The updater would use %1: its name, %2, holds &quot;%3&quot;, and no later name holds &quot;usb&quot;, &quot;pl2303&quot; or &quot;serial&quot;.</source>
        <extracomment>--list: why the updater takes this port. %1 the path, %2 its name, %3 the word in it (&quot;usb&quot;).</extracomment>
        <translation>Le programme utiliserait %1&#xa0;: son nom, %2, contient «&#xa0;%3&#xa0;», et aucun nom suivant ne contient «&#xa0;usb&#xa0;», «&#xa0;pl2303&#xa0;» ou «&#xa0;serial&#xa0;».</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No name holds &quot;usb&quot;, &quot;pl2303&quot; or &quot;serial&quot;: the updater would wait for an adapter. Name the port with --port PATH to use it anyway.</source>
        <translation>Aucun nom ne contient «&#xa0;usb&#xa0;», «&#xa0;pl2303&#xa0;» ou «&#xa0;serial&#xa0;»&#xa0;: le programme attendrait un adaptateur. Nommez le port avec --port CHEMIN pour l&apos;utiliser quand même.</translation>
    </message>
    <message numerus="yes">
        <location filename="../run/Records.cpp" line="+145"/>
        <source>QZ7 Updater %1, firmware %2, %n lines, sha256 %3</source>
        <comment>QZ7 Updater %1, firmware %2, %n line, sha256 %3</comment>
        <extracomment>--version: %1 the program&apos;s version, %2 the firmware&apos;s (&quot;V2.007&quot;), %n its lines, %3 its sha256.</extracomment>
        <translation>
            <numerusform>QZ7 Updater %1, micrologiciel %2, %n ligne, sha256 %3</numerusform>
            <numerusform>QZ7 Updater %1, micrologiciel %2, %n lignes, sha256 %3</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UpdaterWindow</name>
    <message>
        <location filename="../window/UpdaterWindow.cpp" line="+114"/>
        <source>Erases the QZ7 and sends it firmware V%1</source>
        <translation>Efface le QZ7 et lui envoie le micrologiciel V%1</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Done</source>
        <translation>Terminé</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Failed</source>
        <translation>Échec</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 – %2</source>
        <extracomment>The window title after an update: its outcome (&quot;Done&quot;, &quot;Failed&quot;), then the program&apos;s name.</extracomment>
        <translation>%1 – %2</translation>
    </message>
    <message>
        <location line="+127"/>
        <source>%1 % – %2</source>
        <extracomment>The window title during the transfer: the share sent so far (%1 %), then the program&apos;s name.</extracomment>
        <translation>%1&#x202f;% – %2</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>Keep updating</source>
        <translation>Continuer la mise à jour</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <location filename="../window/UpdaterWindow.h" line="+104"/>
        <source>QZ7 Updater</source>
        <translation>QZ7 Updater</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The QZ7 is being programmed. Stopping now leaves it without firmware until it is updated again.</source>
        <translation>Le QZ7 est en cours de programmation. L&apos;arrêter maintenant le laisse sans micrologiciel jusqu&apos;à une nouvelle mise à jour.</translation>
    </message>
    <message>
        <location filename="../window/WindowFrontEnd.cpp" line="+122"/>
        <location line="+30"/>
        <source>Save report</source>
        <translation>Enregistrer le rapport</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>Report (*.tar.gz)</source>
        <translation>Rapport (*.tar.gz)</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>The report could not be written to %1: %2.</source>
        <translation>Le rapport n&apos;a pas pu être écrit dans %1 : %2.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>The history did not take this unit&apos;s record: %1.</source>
        <translation>L’historique n’a pas pris l’enregistrement de cette unité&#xa0;: %1.</translation>
    </message>
    <message>
        <location filename="../app/main.cpp" line="+68"/>
        <source>The history %1 cannot be kept: %2. Nothing was done to any port.</source>
        <translation>L’historique %1 ne peut pas être tenu&#x202f;: %2. Aucun port n’a été touché.</translation>
    </message>
</context>
<context>
    <name>Words</name>
    <message>
        <location filename="../core/Words.cpp" line="+81"/>
        <source>%1 %2</source>
        <extracomment>Two sentences in a row: the first (%1), then the next (%2).</extracomment>
        <translation>%1 %2</translation>
    </message>
</context>
</TS>
