<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>Directions</name>
    <message>
        <location filename="../core/Directions.h" line="+13"/>
        <source>Connect USB adapter</source>
        <extracomment>The first screen, shown large: no USB serial adapter is plugged in yet.</extracomment>
        <translation>Conecte el adaptador USB</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Power on the QZ7 while holding front Run/Stop button</source>
        <extracomment>Shown large. Run/Stop is the name printed on the QZ7&apos;s button: keep it.</extracomment>
        <translation>Encienda el QZ7 manteniendo pulsado el botón frontal Run/Stop</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Updating QZ7, please wait...</source>
        <translation>Actualizando el QZ7, espere...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Version not Found.
Update anyway?</source>
        <translation>Versión no encontrada.
¿Actualizar de todos modos?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Erased
Please restart the program
and the QZ7</source>
        <translation>No se borró
Reinicie el programa
y el QZ7</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Done</source>
        <extracomment>The QZ7 said its firmware is written: the update succeeded.</extracomment>
        <translation>Terminado</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Trying to write to unopened Port</source>
        <extracomment>The port closed before the program could write to it.</extracomment>
        <translation>Intento de escribir en un puerto no abierto</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>USB adapter disconnected
Please restart the program
and the QZ7</source>
        <translation>Adaptador USB desconectado
Reinicie el programa
y el QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No version reply
Please restart the program
and the QZ7</source>
        <translation>Sin respuesta de versión
Reinicie el programa
y el QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware image damaged
Please reinstall the program</source>
        <translation>Imagen del firmware dañada
Reinstale el programa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Done
Please restart the program
and the QZ7</source>
        <translation>No terminado
Reinicie el programa
y el QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 restarted during the update
It has no firmware now
Restart the program, power on the QZ7
while holding Run/Stop, and update again</source>
        <translation>El QZ7 se reinició durante la actualización
Ahora no tiene firmware
Reinicie el programa, encienda el QZ7
manteniendo pulsado Run/Stop y actualice de nuevo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>QZ7 stopped accepting data
Please restart the program
and the QZ7</source>
        <translation>El QZ7 dejó de aceptar datos
Reinicie el programa
y el QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 stopped before the whole image was sent
It has no firmware now
Restart the program, power on the QZ7
while holding Run/Stop, and update again</source>
        <translation>El QZ7 se detuvo antes de recibir toda la imagen
Ahora no tiene firmware
Reinicie el programa, encienda el QZ7
manteniendo pulsado Run/Stop y actualice de nuevo</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Found Version: %1
 Update To: QZ7 V%2?
</source>
        <extracomment>The version question. %1 the version the QZ7 reported (&quot;2.005&quot;), %2 the firmware this program carries (&quot;2.007&quot;). Line breaks may go where your language needs them.</extracomment>
        <translation>Versión encontrada: %1
 ¿Actualizar a QZ7 V%2?
</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unexpected reply: %1
Please restart the program
and the QZ7</source>
        <extracomment>%1 the QZ7&apos;s reply as it sent it (at most 40 characters, escaped).</extracomment>
        <translation>Respuesta inesperada: %1
Reinicie el programa
y el QZ7</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An Exception Occured:
%1</source>
        <extracomment>%1 the error&apos;s own text, from the system.</extracomment>
        <translation>Se produjo una excepción:
%1</translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <location filename="../core/Endings.cpp" line="+21"/>
        <source>the QZ7 was updated (Done)</source>
        <extracomment>--help&apos;s list of exit statuses: each text says what ended a run with that status (after the number). Option names (--wait) and the QZ7&apos;s own words (Done, Not Done) stay as they are.</extracomment>
        <translation>el QZ7 se actualizó (Terminado)</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>an error nobody foresaw</source>
        <translation>un error imprevisto</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>no usable adapter within --wait, or a --port that can never be one</source>
        <translation>ningún adaptador utilizable dentro de --wait, o un --port que nunca puede serlo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>no permission to open the port</source>
        <translation>sin permiso para abrir el puerto</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the port is in use by another program</source>
        <translation>otro programa está usando el puerto</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>the adapter was disconnected, or the port closed under the update</source>
        <translation>el adaptador se desconectó, o el puerto se cerró durante la actualización</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>the QZ7 was not erased</source>
        <translation>el QZ7 no se borró</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>an unexpected reply from the QZ7</source>
        <translation>una respuesta inesperada del QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no version reply</source>
        <translation>sin respuesta de versión</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>not updated: the answer was no (or input ended, or was too long)</source>
        <translation>no actualizado: la respuesta fue no (o la entrada terminó, o era demasiado larga)</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>the firmware image is damaged; nothing was erased</source>
        <translation>la imagen del firmware está dañada; no se borró nada</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>the QZ7 answered Not Done</source>
        <translation>el QZ7 respondió «Not Done»</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the QZ7 restarted during the update</source>
        <translation>el QZ7 se reinició durante la actualización</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>the QZ7 stopped accepting data</source>
        <translation>el QZ7 dejó de aceptar datos</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>the port opened, but no QZ7 answered within --wait</source>
        <translation>el puerto se abrió, pero ningún QZ7 respondió dentro de --wait</translation>
    </message>
    <message>
        <location line="-27"/>
        <source>the QZ7 said Done before the whole image was sent</source>
        <translation>el QZ7 respondió «Done» antes de recibir toda la imagen</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>several units: not every one was updated (each unit&apos;s status is in --json and --report)</source>
        <translation>varias unidades: no todas se actualizaron (el estado de cada unidad está en --json y --report)</translation>
    </message>
    <message>
        <location line="-19"/>
        <source>--skip-current: the QZ7 already has the firmware this program carries; not updated</source>
        <translation>--skip-current: el QZ7 ya tiene el firmware que trae este programa; no actualizado</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--yes: the QZ7 has newer firmware than this program carries; not updated (see --allow-older)</source>
        <translation>--yes: el QZ7 tiene un firmware más reciente que el que trae este programa; no actualizado (véase --allow-older)</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>wrong usage: an unknown option or a bad value</source>
        <translation>uso incorrecto: una opción desconocida o un valor no válido</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>standard output (or the --report file) could not be written</source>
        <translation>no se pudo escribir en la salida estándar (o en el archivo de --report)</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>--timeout ran out; the port was put back</source>
        <translation>se agotó --timeout; se restauró la configuración del puerto</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>stopped by SIGINT (twice within 5 s while the QZ7 is being programmed), SIGTERM or SIGHUP; the port was put back</source>
        <translation>detenido por SIGINT (dos veces en 5 s mientras se programa el QZ7), SIGTERM o SIGHUP; se restauró la configuración del puerto</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>Exit statuses (with --cli):</source>
        <translation>Estados de salida (con --cli):</translation>
    </message>
    <message>
        <location filename="../app/Startup.cpp" line="+70"/>
        <source>path</source>
        <extracomment>The value of --port in --help (&quot;--port &lt;path&gt;&quot;); the descriptions quote it as &lt;path&gt;.</extracomment>
        <translation>ruta</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>file</source>
        <extracomment>The value of --report, --capture and --history-file in --help (&quot;--report &lt;file&gt;&quot;).</extracomment>
        <translation>archivo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>seconds</source>
        <extracomment>The value of --wait and --timeout in --help (&quot;--wait &lt;seconds&gt;&quot;).</extracomment>
        <translation>segundos</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>name</source>
        <extracomment>The value of --unit and --operator in --help (&quot;--unit &lt;name&gt;&quot;).</extracomment>
        <translation>nombre</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Updates the firmware of a QZ7 over a USB serial adapter. Connect the adapter, power on the QZ7 while holding its front Run/Stop button, and follow the directions in the window.</source>
        <translation>Actualiza el firmware de un QZ7 mediante un adaptador USB serie. Conecte el adaptador, encienda el QZ7 manteniendo pulsado el botón frontal Run/Stop y siga las instrucciones de la ventana.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Run on the terminal, without a window: print the directions and the status as they change, ask the version question there, and end with an exit status that says how the update ended (see the manual page).</source>
        <translation>Ejecutar en el terminal, sin ventana: mostrar las indicaciones y el estado a medida que cambian, hacer allí la pregunta de la versión y terminar con un estado de salida que indica cómo terminó la actualización (vea la página del manual).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Use the serial device at &lt;path&gt; instead of searching for a USB adapter. Given several times (with --cli --yes), updates those units side by side.</source>
        <translation>Usar el dispositivo serie en &lt;ruta&gt; en lugar de buscar un adaptador USB. Indicado varias veces (con --cli --yes), actualiza esas unidades a la vez.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli --yes: update every USB adapter&apos;s QZ7 side by side (every port that --list --json shows as taken).</source>
        <translation>Con --cli --yes: actualizar a la vez el QZ7 de cada adaptador USB (cada puerto que --list --json marca como «taken»).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli, --list or --version: JSON Lines on standard output, one object per event (see the manual page); the prose goes to standard error.</source>
        <translation>Con --cli, --list o --version: JSON Lines en la salida estándar, un objeto por evento (vea la página del manual); el texto va a la salida de error estándar.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli: read each QZ7&apos;s version and end without erasing anything.</source>
        <translation>Con --cli: leer la versión de cada QZ7 y terminar sin borrar nada.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli: leave a QZ7 that already has the firmware this program carries.</source>
        <translation>Con --cli: no actualizar un QZ7 que ya tiene el firmware que trae este programa.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli: append one JSON line per unit to &lt;file&gt; as each unit ends.</source>
        <translation>Con --cli: añadir una línea JSON por unidad a &lt;archivo&gt; al terminar cada unidad.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Record every byte read from and written to the port, with its time, in &lt;file&gt; (JSON Lines; with several units, one file per unit named by its slot), for qz7-bootsim --replay.</source>
        <translation>Registrar cada byte leído del puerto y escrito en él, con su hora, en &lt;archivo&gt; (JSON Lines; con varias unidades, un archivo por unidad nombrado por su ranura), para qz7-bootsim --replay.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli: answer the version question with Update.</source>
        <translation>Con --cli: responder a la pregunta de la versión con Actualizar.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli --yes: update a QZ7 that has newer firmware than this program carries too (without it, such a QZ7 is left as it is, with exit status 18).</source>
        <translation>Con --cli --yes: actualizar también un QZ7 que tiene un firmware más reciente que el que trae este programa (sin esta opción, ese QZ7 queda como está, con el estado de salida 18).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli: give up when no QZ7 has answered within &lt;seconds&gt; (default: wait for ever).</source>
        <translation>Con --cli: desistir si ningún QZ7 ha respondido en &lt;segundos&gt; (por defecto: esperar indefinidamente).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --cli: stop when the whole update has not ended within &lt;seconds&gt;, as a SIGTERM stops it, with exit status 124.</source>
        <translation>Con --cli: detener si la actualización completa no ha terminado en &lt;segundos&gt;, como lo detiene un SIGTERM, con estado de salida 124.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli and one port: the name of the QZ7 on it (its serial number or label), in every record of the update. For several ports: --port PATH=NAME.</source>
        <translation>Con --cli y un solo puerto: el nombre del QZ7 conectado (su número de serie o su etiqueta), en cada registro de la actualización. Para varios puertos: --port RUTA=NOMBRE.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>With --cli: the operator&apos;s name in every record (default: the login name).</source>
        <translation>Con --cli: el nombre del operador en cada registro (por omisión: el nombre de inicio de sesión).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The history database to write and read (default: $XDG_STATE_HOME/qz7-updater/history.sqlite).</source>
        <translation>La base de datos del historial que se escribe y se lee (por omisión: $XDG_STATE_HOME/qz7-updater/history.sqlite).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Print the last records of the history (only the records of the unit named after it, with --json as JSON Lines, with --summary the figures per day), and end.</source>
        <translation>Mostrar los últimos registros del historial (solo los de la unidad nombrada a continuación, con --json como JSON Lines, con --summary las cifras por día) y terminar.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --history: passed, failed, first-pass yield and units per hour, per day.</source>
        <translation>Con --history: correctas, fallidas, rendimiento a la primera y unidades por hora, por día.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>With --cli: leave a named QZ7 whose last record is Done with the firmware this program carries.</source>
        <translation>Con --cli: dejar un QZ7 con nombre cuyo último registro es Done con el firmware que lleva este programa.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>List the serial ports with their names, paths and identities, mark the one the updater would choose, and end.</source>
        <translation>Listar los puertos serie con sus nombres, rutas e identidades, marcar el que elegiría el programa y terminar.</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>Try qz7-updater --help.</source>
        <extracomment>After a usage error; keep the command as it is.</extracomment>
        <translation>Pruebe qz7-updater --help.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <extracomment>%1 the argument as it was typed.</extracomment>
        <translation>Argumento inesperado &apos;%1&apos;.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>--port needs the path of a serial device, such as /dev/ttyUSB0.</source>
        <translation>--port necesita la ruta de un dispositivo serie, como /dev/ttyUSB0.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>--port PATH=NAME needs a path and a name of 1 to 128 characters, none of them a control character.</source>
        <translation>--port PATH=NAME necesita una ruta y un nombre de 1 a 128 caracteres, ninguno de ellos de control.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>--port %1 is given twice: name each adapter once.</source>
        <translation>--port %1 se ha dado dos veces: indique cada adaptador una sola vez.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--port %1 and --port %2 are the same device: name each adapter once.</source>
        <translation>--port %1 y --port %2 son el mismo dispositivo: indique cada adaptador una sola vez.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--report needs the name of a file.</source>
        <translation>--report necesita el nombre de un archivo.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>--history-file needs the name of a file.</source>
        <translation>--history-file necesita el nombre de un archivo.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--%1 needs a name of 1 to 128 characters, none of them a control character.</source>
        <translation>--%1 necesita un nombre de 1 a 128 caracteres, ninguno de ellos de control.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>--history goes alone (or with a unit&apos;s name, --json, --summary and --history-file).</source>
        <translation>--history va solo (o con el nombre de una unidad, --json, --summary y --history-file).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--history --summary counts every unit: it goes without a unit&apos;s name.</source>
        <translation>--history --summary cuenta todas las unidades: va sin nombre de unidad.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>--summary goes with --history.</source>
        <translation>--summary va con --history.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--unit names the unit on one port: with several, name each as --port PATH=NAME.</source>
        <translation>--unit nombra la unidad de un solo puerto: con varios, nombre cada una con --port RUTA=NOMBRE.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--unit names the unit on one port: --all takes every adapter.</source>
        <translation>--unit nombra la unidad de un solo puerto: --all toma todos los adaptadores.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--unit, --operator and --skip-done go with --cli.</source>
        <translation>--unit, --operator y --skip-done van con --cli.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--skip-done looks units up by name: give --unit NAME, or --port PATH=NAME for each port.</source>
        <translation>--skip-done busca las unidades por nombre: indique --unit NOMBRE, o --port RUTA=NOMBRE para cada puerto.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>--capture needs the name of a file.</source>
        <translation>--capture necesita el nombre de un archivo.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>--%1 needs a whole number of seconds, from 1 to 604800 (a week).</source>
        <extracomment>%1 the option&apos;s name without its dashes (wait, timeout).</extracomment>
        <translation>--%1 necesita un número entero de segundos, de 1 a 604800 (una semana).</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>--yes, --wait and --timeout go with --cli.</source>
        <translation>--yes, --wait y --timeout van con --cli.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--allow-older goes with --cli.</source>
        <translation>--allow-older va con --cli.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--list goes alone (or with --json).</source>
        <translation>--list va solo (o con --json).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--all, --json, --check, --skip-current and --report go with --cli.</source>
        <translation>--all, --json, --check, --skip-current y --report van con --cli.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--all takes every adapter: it goes without --port.</source>
        <translation>--all toma todos los adaptadores: va sin --port.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With several units, --all, --json, --skip-current or --report the version question is answered ahead: add --yes (or --check).</source>
        <translation>Con varias unidades, --all, --json, --skip-current o --report, la pregunta de la versión se responde de antemano: añada --yes (o --check).</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>cannot write to standard output: %1</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the system&apos;s error text.</extracomment>
        <translation>no se puede escribir en la salida estándar: %1</translation>
    </message>
</context>
<context>
    <name>OneLine</name>
    <message>
        <location filename="../core/Words.cpp" line="+25"/>
        <source>Version not Found. Update anyway?</source>
        <translation>Versión no encontrada. ¿Actualizar de todos modos?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Erased. Please restart the program and the QZ7</source>
        <translation>No se borró. Reinicie el programa y el QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>USB adapter disconnected. Please restart the program and the QZ7</source>
        <translation>Adaptador USB desconectado. Reinicie el programa y el QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No version reply. Please restart the program and the QZ7</source>
        <translation>Sin respuesta de versión. Reinicie el programa y el QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware image damaged. Please reinstall the program</source>
        <translation>Imagen del firmware dañada. Reinstale el programa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not Done. Please restart the program and the QZ7</source>
        <translation>No terminado. Reinicie el programa y el QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 restarted during the update. It has no firmware now. Restart the program, power on the QZ7 while holding Run/Stop, and update again</source>
        <translation>El QZ7 se reinició durante la actualización. Ahora no tiene firmware. Reinicie el programa, encienda el QZ7 manteniendo pulsado Run/Stop y actualice de nuevo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>QZ7 stopped accepting data. Please restart the program and the QZ7</source>
        <translation>El QZ7 dejó de aceptar datos. Reinicie el programa y el QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>QZ7 stopped before the whole image was sent. It has no firmware now. Restart the program, power on the QZ7 while holding Run/Stop, and update again</source>
        <translation>El QZ7 se detuvo antes de recibir toda la imagen. Ahora no tiene firmware. Reinicie el programa, encienda el QZ7 manteniendo pulsado Run/Stop y actualice de nuevo</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Found Version: %1. Update To: QZ7 V%2?</source>
        <extracomment>%1 the version the QZ7 reported, %2 the firmware this program carries.</extracomment>
        <translation>Versión encontrada: %1. ¿Actualizar a QZ7 V%2?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unexpected reply: %1. Please restart the program and the QZ7</source>
        <extracomment>%1 the QZ7&apos;s reply as it sent it (at most 40 characters, escaped).</extracomment>
        <translation>Respuesta inesperada: %1. Reinicie el programa y el QZ7</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An Exception Occured: %1</source>
        <extracomment>%1 the error&apos;s own text, from the system.</extracomment>
        <translation>Se produjo una excepción: %1</translation>
    </message>
</context>
<context>
    <name>QCommandLineParser</name>
    <message>
        <location filename="../app/Startup.cpp" line="-346"/>
        <source>Displays help on commandline options.</source>
        <translation>Muestra la ayuda sobre las opciones de la línea de comandos.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Displays help including Qt specific options.</source>
        <translation>Muestra la ayuda, incluidas las opciones propias de Qt.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Displays version information.</source>
        <translation>Muestra la información de versión.</translation>
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
        <translation>Instala firmware nuevo en un QZ7 mediante un adaptador USB serie</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>QZ7s an earlier update left without firmware</source>
        <translation>QZ7 que una actualización anterior dejó sin firmware</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>QZ7 front panel</source>
        <translation>Panel frontal del QZ7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Picture of the QZ7 the updater found, its display reading BOOT</source>
        <translation>Ilustración del QZ7 que encontró el programa, con BOOT en su pantalla</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>How the update ended</source>
        <translation>Cómo terminó la actualización</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>What to do next</source>
        <translation>Qué hacer a continuación</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Details: the adapter, the progress, what went wrong</source>
        <translation>Detalles: el adaptador, el progreso, qué falló</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Command to run</source>
        <translation>Comando que ejecutar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A command for a terminal, to select or copy</source>
        <translation>Un comando para un terminal, para seleccionar o copiar</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Copies the command to the clipboard</source>
        <translation>Copia el comando al portapapeles</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Details, after the command</source>
        <translation>Detalles, después del comando</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Update progress</source>
        <translation>Progreso de la actualización</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Share of the firmware sent to the QZ7</source>
        <translation>Parte del firmware enviada al QZ7</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Save report…</source>
        <extracomment>Saves a file for support: what went over the line, and the transcript.</extracomment>
        <translation>Guardar informe…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Saves the capture of the QZ7&apos;s bytes and the transcript in one file to send to support</source>
        <translation>Guarda la captura de los bytes del QZ7 y el registro en un archivo para enviar al soporte</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Restart</source>
        <extracomment>A failure screen&apos;s button: starts again, looking for the adapter and waiting for the QZ7. The status line names it.</extracomment>
        <translation>Reiniciar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Starts the update again from Connect USB adapter; then power the QZ7 on while holding Run/Stop</source>
        <translation>Vuelve a empezar la actualización desde «Conecte el adaptador USB»; después encienda el QZ7 manteniendo pulsado Run/Stop</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Update another QZ7</source>
        <extracomment>After Done: waits for the next QZ7 on the same adapter. The status line names it.</extracomment>
        <translation>Actualizar otro QZ7</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Starts over for the next QZ7 on the same adapter</source>
        <translation>Vuelve a empezar para el siguiente QZ7 en el mismo adaptador</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Cancel</source>
        <extracomment>Answers the version question: ends the program and leaves the QZ7 as it is.</extracomment>
        <translation>Cancelar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Leaves the QZ7 as it is and closes the program</source>
        <translation>Deja el QZ7 como está y cierra el programa</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Update</source>
        <extracomment>Answers the version question: erases the QZ7 and sends it the new firmware.</extracomment>
        <translation>Actualizar</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Closes the program</source>
        <translation>Cierra el programa</translation>
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
        <translation>Sin permiso para abrir %1 (propietario %2, grupo %3).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Only its owner may use it. An administrator can give access with a udev rule (see &quot;Permission to use the adapter&quot; in the README).</source>
        <translation>Solo su propietario puede usarlo. Un administrador puede dar acceso con una regla de udev (vea «Permission to use the adapter» en el README).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>You are in the group %1, but this login is not yet: log out and back in, then start the updater again.</source>
        <extracomment>%1 the group&apos;s name (dialout).</extracomment>
        <translation>Usted está en el grupo %1, pero esta sesión todavía no: cierre la sesión y vuelva a entrar, y después inicie de nuevo el programa.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>You are in the group %1 already; an administrator needs to check the device&apos;s access rules.</source>
        <extracomment>%1 the group&apos;s name (dialout).</extracomment>
        <translation>Usted ya está en el grupo %1; un administrador debe revisar las reglas de acceso del dispositivo.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Add yourself to the group with</source>
        <extracomment>A command follows on a line of its own (sudo adduser …), then &quot;then log out and back in …&quot;.</extracomment>
        <translation>Añádase al grupo con</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>then log out and back in (the group counts only for a new login).</source>
        <translation>y después cierre la sesión y vuelva a entrar (el grupo solo cuenta en una sesión nueva).</translation>
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
        <translation>Otro programa está usando %1.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 is in use by another program: %2.</source>
        <extracomment>%1 the device path, %2 the programs that hold it.</extracomment>
        <translation>Otro programa está usando %1: %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Close it; the updater opens the adapter as soon as it is free.</source>
        <translation>Ciérrelo; el programa abrirá el adaptador en cuanto quede libre.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 is running; it is known to take serial adapters.</source>
        <extracomment>%1 a program&apos;s name (ModemManager).</extracomment>
        <translation>%1 está en ejecución; se sabe que ocupa los adaptadores serie.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 are running; they are known to take serial adapters.</source>
        <extracomment>%1 programs&apos; names, joined by &quot;and&quot;.</extracomment>
        <translation>%1 están en ejecución; se sabe que ocupan los adaptadores serie.</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+40"/>
        <source>and</source>
        <extracomment>Joins the last two names of a list (&quot;A, B and C&quot;).</extracomment>
        <translation>y</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>%1 is not a serial port. Name the adapter&apos;s device, such as /dev/ttyUSB0.</source>
        <translation>%1 no es un puerto serie. Indique el dispositivo del adaptador, como /dev/ttyUSB0.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cannot open %1: %2.</source>
        <extracomment>%1 the device path, %2 the system&apos;s error text.</extracomment>
        <translation>No se puede abrir %1: %2.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cannot set up %1 (%2): %3.</source>
        <extracomment>%1 the device path, %2 the system call that failed (tcsetattr), %3 the system&apos;s error text.</extracomment>
        <translation>No se puede configurar %1 (%2): %3.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Plug the adapter in again.</source>
        <translation>Vuelva a conectar el adaptador.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The updater keeps trying.</source>
        <translation>El programa sigue intentándolo.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 is the terminal this program runs on, not an adapter. Name the adapter&apos;s device, such as /dev/ttyUSB0.</source>
        <translation>%1 es el terminal en el que se ejecuta este programa, no un adaptador. Indique el dispositivo del adaptador, como /dev/ttyUSB0.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Cannot open %1: %2. Name the adapter&apos;s device, such as /dev/ttyUSB0.</source>
        <translation>No se puede abrir %1: %2. Indique el dispositivo del adaptador, como /dev/ttyUSB0.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No USB serial adapter found.</source>
        <translation>No se encontró ningún adaptador USB serie.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The system lists no serial port at all: plug the adapter in, or try another USB socket or cable.</source>
        <translation>El sistema no muestra ningún puerto serie: conecte el adaptador o pruebe otra toma USB u otro cable.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Seen: %1, not a USB adapter.</source>
        <extracomment>%1 the serial ports the system lists, joined by commas and &quot;and&quot;.</extracomment>
        <translation>Visto: %1, no es un adaptador USB.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seen: %1, not USB adapters.</source>
        <translation>Vistos: %1, no son adaptadores USB.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>An adapter appeared at %1 and went away again: brltty, a braille display driver, is running and takes such adapters. Unless you use a braille display, remove it with</source>
        <extracomment>%1 the device path; the command that removes brltty follows on a line of its own.</extracomment>
        <translation>Apareció un adaptador en %1 y volvió a desaparecer: brltty, un controlador de pantallas braille, está en ejecución y ocupa esos adaptadores. Si no usa una pantalla braille, elimínelo con</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>then plug the adapter in again.</source>
        <translation>y después vuelva a conectar el adaptador.</translation>
    </message>
    <message>
        <location line="+12"/>
        <location filename="../terminal/PortList.cpp" line="+16"/>
        <source>serial %1</source>
        <extracomment>%1 the adapter&apos;s USB serial number.</extracomment>
        <translation>número de serie %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Adapter on %1</source>
        <translation>Adaptador en %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Adapter on %1: %2</source>
        <extracomment>%1 the device path, %2 what the adapter says of itself (maker, USB ids, serial number).</extracomment>
        <translation>Adaptador en %1: %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Nothing from the QZ7 for %1 s. Switch it off, then hold the front Run/Stop button while you switch it on. Check that the cable goes to the QZ7.</source>
        <extracomment>%1 the seconds without a byte from the QZ7.</extracomment>
        <translation>Nada del QZ7 durante %1 s. Apáguelo y luego mantenga pulsado el botón frontal Run/Stop mientras lo enciende. Compruebe que el cable va al QZ7.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>No answer from the QZ7 for %1 s. Check the cable and the QZ7&apos;s power; the update goes on as soon as it answers.</source>
        <extracomment>%1 the seconds without a byte from the QZ7.</extracomment>
        <translation>Sin respuesta del QZ7 durante %1 s. Compruebe el cable y la alimentación del QZ7; la actualización continúa en cuanto responda.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>its banner</source>
        <extracomment>What the updater waits for: %2 of &quot;The QZ7 sent …, not %2&quot; (also the next five texts).</extracomment>
        <translation>su mensaje de inicio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>a version (a line with &quot;V&quot;)</source>
        <translation>una versión (una línea con «V»)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the prompt &quot;E or P?&quot;</source>
        <translation>la pregunta «E or P?»</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;Erased&quot;</source>
        <translation>«Erased»</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;Done&quot;</source>
        <translation>«Done»</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>the &quot;*&quot; that asks for the next line</source>
        <translation>el «*» que pide la línea siguiente</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The QZ7 sent only empty lines, not %1; the updater waits on.</source>
        <extracomment>%1 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>El QZ7 solo envió líneas vacías, no %1; el programa sigue esperando.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The QZ7 sent what the updater cannot read (&quot;%1&quot;), not %2; the updater waits on.</source>
        <extracomment>%1 the QZ7&apos;s bytes (escaped), %2 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>El QZ7 envió algo que el programa no puede leer («%1»), no %2; el programa sigue esperando.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The QZ7 sent &quot;%1&quot; and has not ended the line; the updater waits for %2.</source>
        <extracomment>%1 the QZ7&apos;s bytes (escaped), %2 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>El QZ7 envió «%1» y no ha terminado la línea; el programa espera %2.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The QZ7 sent &quot;%1&quot;, not %2; the updater waits on.</source>
        <extracomment>%1 the QZ7&apos;s bytes (escaped), %2 what the updater waits for (&quot;its banner&quot;).</extracomment>
        <translation>El QZ7 envió «%1», no %2; el programa sigue esperando.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>If it stays so, the QZ7 must be restarted: switch it off, hold Run/Stop while you switch it on, and update again.</source>
        <translation>Si sigue así, hay que reiniciar el QZ7: apáguelo, mantenga pulsado Run/Stop mientras lo enciende y actualice de nuevo.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A wrong line speed, a wrong cable, or another device than a QZ7 in boot-loader mode sends such bytes: check the cable and what it is plugged into.</source>
        <translation>Una velocidad de línea incorrecta, un cable incorrecto u otro dispositivo que no sea un QZ7 en modo cargador de arranque envía esos bytes: compruebe el cable y a qué está conectado.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>If it stays so, check that the cable goes to a QZ7 switched on with Run/Stop held.</source>
        <translation>Si sigue así, compruebe que el cable va a un QZ7 encendido con Run/Stop pulsado.</translation>
    </message>
    <message numerus="yes">
        <location line="+6"/>
        <source>The QZ7 answered %n times without &quot;E or P?&quot;, last with &quot;%1&quot;. It may not be a QZ7 in boot-loader mode: switch it off, hold Run/Stop while you switch it on, and check what the cable goes to.</source>
        <comment>The QZ7 answered %n time without &quot;E or P?&quot;, last with &quot;%1&quot;. It may not be a QZ7 in boot-loader mode: switch it off, hold Run/Stop while you switch it on, and check what the cable goes to.</comment>
        <extracomment>%n the QZ7&apos;s answers, %1 the last of them (escaped). &quot;E or P?&quot; is the QZ7&apos;s own prompt: keep it.</extracomment>
        <translation>
            <numerusform>El QZ7 respondió %n vez sin «E or P?», con «%1». Puede que no sea un QZ7 en modo cargador de arranque: apáguelo, mantenga pulsado Run/Stop mientras lo enciende y compruebe a qué va el cable.</numerusform>
            <numerusform>El QZ7 respondió %n veces sin «E or P?», la última con «%1». Puede que no sea un QZ7 en modo cargador de arranque: apáguelo, mantenga pulsado Run/Stop mientras lo enciende y compruebe a qué va el cable.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+32"/>
        <source>Sent %n lines (%1 kB) in %2 s. The QZ7 now has firmware %3.</source>
        <comment>Sent %n line (%1 kB) in %2 s. The QZ7 now has firmware %3.</comment>
        <extracomment>%n the image lines sent, %1 kilobytes, %2 seconds, %3 the firmware version (&quot;V2.007&quot;).</extracomment>
        <translation>
            <numerusform>Se envió %n línea (%1 kB) en %2 s. El QZ7 tiene ahora el firmware %3.</numerusform>
            <numerusform>Se enviaron %n líneas (%1 kB) en %2 s. El QZ7 tiene ahora el firmware %3.</numerusform>
        </translation>
    </message>
    <message>
        <location line="-20"/>
        <source>Line %1 of %2</source>
        <extracomment>%1 the image line being sent, %2 the image&apos;s lines.</extracomment>
        <translation>Línea %1 de %2</translation>
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
        <translation>%1 B/s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 kB/s</source>
        <translation>%1 kB/s</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>about %1 left</source>
        <extracomment>%1 a duration (&quot;30 s&quot;, &quot;1 min 5 s&quot;).</extracomment>
        <translation>quedan unos %1</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>You can disconnect it now; for the next QZ7, press Update another QZ7.</source>
        <extracomment>&quot;Update another QZ7&quot; is the window&apos;s button: use its text.</extracomment>
        <translation>Ya puede desconectarlo; para el siguiente QZ7, pulse «Actualizar otro QZ7».</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Stopped while waiting for the QZ7&apos;s banner.</source>
        <translation>Detenido mientras se esperaba el mensaje de inicio del QZ7.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stopped while reading the QZ7&apos;s version.</source>
        <translation>Detenido mientras se leía la versión del QZ7.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stopped while waiting for the erase prompt.</source>
        <translation>Detenido mientras se esperaba la pregunta de borrado.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stopped while waiting for the erase to finish.</source>
        <translation>Detenido mientras se esperaba el fin del borrado.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Stopped while sending the image, after line %1 of %2.</source>
        <translation>Detenido mientras se enviaba la imagen, tras la línea %1 de %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Stopped while waiting for &quot;Done&quot; after the last line.</source>
        <translation>Detenido mientras se esperaba «Done» tras la última línea.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Stopped while in dialogue state %1.</source>
        <extracomment>%1 a number: a state the program never reaches.</extracomment>
        <translation>Detenido en el estado de diálogo %1.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The adapter&apos;s line went dead: it was unplugged or lost power.</source>
        <translation>La línea del adaptador dejó de funcionar: se desconectó o perdió la alimentación.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The adapter stopped working (%1, errno %2): it was unplugged or lost power.</source>
        <translation>El adaptador dejó de funcionar (%1, errno %2): se desconectó o perdió la alimentación.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Last from the QZ7: &quot;%1&quot;.</source>
        <extracomment>%1 the QZ7&apos;s last reply (escaped).</extracomment>
        <translation>Lo último del QZ7: «%1».</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The QZ7 may have no firmware now: press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on.</source>
        <extracomment>Restart is the window&apos;s button: use its text.</extracomment>
        <translation>Puede que el QZ7 no tenga firmware ahora: pulse «Reiniciar», apague el QZ7 y luego mantenga pulsado Run/Stop mientras lo enciende.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The QZ7 has no firmware now: press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on.</source>
        <extracomment>Restart is the window&apos;s button: use its text.</extracomment>
        <translation>El QZ7 no tiene firmware ahora: pulse «Reiniciar», apague el QZ7 y luego mantenga pulsado Run/Stop mientras lo enciende.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on.</source>
        <extracomment>Restart is the window&apos;s button: use its text.</extracomment>
        <translation>Pulse «Reiniciar», apague el QZ7 y luego mantenga pulsado Run/Stop mientras lo enciende.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The QZ7 may have no firmware now: switch it off, then hold Run/Stop while you switch it on.</source>
        <translation>Puede que el QZ7 no tenga firmware ahora: apáguelo y luego mantenga pulsado Run/Stop mientras lo enciende.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The QZ7 has no firmware now: switch it off, then hold Run/Stop while you switch it on.</source>
        <translation>El QZ7 no tiene firmware ahora: apáguelo y luego mantenga pulsado Run/Stop mientras lo enciende.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>This QZ7 has %1, newer than the %2 this program carries: Update would put the older firmware on it.</source>
        <extracomment>%1 the version on the QZ7, %2 the firmware this program carries.</extracomment>
        <translation>Este QZ7 tiene %1, más reciente que la %2 que trae este programa: Actualizar le pondría el firmware más antiguo.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>This QZ7 already has %1, the firmware this program carries.</source>
        <extracomment>%1 the version on the QZ7.</extracomment>
        <translation>Este QZ7 ya tiene %1, el firmware que trae este programa.</translation>
    </message>
</context>
<context>
    <name>Terminal</name>
    <message>
        <location filename="../run/BenchRun.cpp" line="+154"/>
        <source>The history could not be written to %1: %2.</source>
        <extracomment>%1 the file, %2 the error.</extracomment>
        <translation>No se pudo escribir el historial en %1: %2.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The report could not be written to %1: %2.</source>
        <extracomment>%1 the file, %2 the error.</extracomment>
        <translation>No se pudo escribir el informe en %1: %2.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Ended: %1 (status %2).</source>
        <extracomment>%1 the outcome&apos;s name as scripts read it (&quot;done&quot;, &quot;not-erased&quot;: keep it), %2 the exit status.</extracomment>
        <translation>Terminado: %1 (estado %2).</translation>
    </message>
    <message numerus="yes">
        <location line="+36"/>
        <source>%n units, %1 ended well, %2 did not (exit status %3).</source>
        <comment>%n unit, %1 ended well, %2 did not (exit status %3).</comment>
        <extracomment>The bench&apos;s last line: %n units in all, %1 of them ended well, %2 did not, %3 the exit status.</extracomment>
        <translation>
            <numerusform>%n unidad, %1 terminada bien, %2 no (estado de salida %3).</numerusform>
            <numerusform>%n unidades, %1 terminadas bien, %2 no (estado de salida %3).</numerusform>
        </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%1 before any adapter was found: nothing was done to any port.</source>
        <extracomment>%1 says what stopped the bench (&quot;Stopped after 5 s (--timeout)&quot;, &quot;Interrupted&quot;).</extracomment>
        <translation>%1 antes de encontrar ningún adaptador: no se hizo nada en ningún puerto.</translation>
    </message>
    <message numerus="yes">
        <location line="+55"/>
        <source>Found %n adapters.</source>
        <comment>Found %n adapter.</comment>
        <translation>
            <numerusform>Se encontró %n adaptador.</numerusform>
            <numerusform>Se encontraron %n adaptadores.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Found the USB adapter: %1.</source>
        <extracomment>%1 the device path.</extracomment>
        <translation>Se encontró el adaptador USB: %1.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>cannot write the report %1: %2. Nothing was done to any port.</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the report file, %2 the system&apos;s error text.</extracomment>
        <translation>no se puede escribir el informe %1: %2. No se hizo nada en ningún puerto.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>cannot keep the history %1: %2. Nothing was done to any port.</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the history file, %2 what went wrong.</extracomment>
        <translation>no se puede llevar el historial %1: %2. No se hizo nada en ningún puerto.</translation>
    </message>
    <message>
        <location line="+11"/>
        <location filename="../run/UnitRun.cpp" line="+47"/>
        <source>Stopped after %1 s (--timeout)</source>
        <extracomment>%1 the --timeout seconds. Starts a sentence: &quot;… during the update: the QZ7 has no firmware now.&quot;</extracomment>
        <translation>Detenido tras %1 s (--timeout)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Looking for USB adapters.</source>
        <translation>Buscando adaptadores USB.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Looking for the USB adapter.</source>
        <translation>Buscando el adaptador USB.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No QZ7 within %1 s: no usable USB adapter was found. Plug the adapters in and run again.</source>
        <translation>Ningún QZ7 en %1 s: no se encontró ningún adaptador USB utilizable. Conecte los adaptadores y vuelva a ejecutar el programa.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No QZ7 within %1 s: no usable USB adapter was found. Plug the adapter in and run again.</source>
        <translation>Ningún QZ7 en %1 s: no se encontró ningún adaptador USB utilizable. Conecte el adaptador y vuelva a ejecutar el programa.</translation>
    </message>
    <message>
        <location line="-251"/>
        <location filename="../terminal/BenchPrinter.cpp" line="+93"/>
        <source>Nothing was done to this port.</source>
        <translation>No se hizo nada en este puerto.</translation>
    </message>
    <message>
        <location filename="../terminal/BenchPrinter.cpp" line="-52"/>
        <source>%1. Let the other units finish; then switch this QZ7 off, hold Run/Stop while you switch it on, and update it again on this port.</source>
        <extracomment>%1 the failure&apos;s headline (&quot;Not Erased&quot;).</extracomment>
        <translation>%1. Deje que las demás unidades terminen; luego apague este QZ7, enciéndalo manteniendo pulsado Run/Stop y actualícelo de nuevo en este puerto.</translation>
    </message>
    <message numerus="yes">
        <location line="+7"/>
        <source>Sending the firmware image (%n lines).</source>
        <comment>Sending the firmware image (%n line).</comment>
        <translation>
            <numerusform>Enviando la imagen del firmware (%n línea).</numerusform>
            <numerusform>Enviando la imagen del firmware (%n líneas).</numerusform>
        </translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Update to the older firmware? y (--yes --allow-older)</source>
        <extracomment>The question answered by the options: &quot;y&quot; stands for the answer, the options as they are.</extracomment>
        <translation>¿Actualizar al firmware más antiguo? y (--yes --allow-older)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update? y (--yes)</source>
        <translation>¿Actualizar? y (--yes)</translation>
    </message>
    <message>
        <location filename="../run/BenchRun.cpp" line="+275"/>
        <source>Version %1, older than the %2 this program carries: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7, %2 the firmware this program carries.</extracomment>
        <translation>Versión %1, más antigua que la %2 que trae este programa: no se borró nada (--check).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Version %1, the one this program carries: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7.</extracomment>
        <translation>Versión %1, la que trae este programa: no se borró nada (--check).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Version %1, newer than the %2 this program carries: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7, %2 the firmware this program carries.</extracomment>
        <translation>Versión %1, más reciente que la %2 que trae este programa: no se borró nada (--check).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Version %1: nothing erased (--check).</source>
        <extracomment>%1 the version on the QZ7, which cannot be compared.</extracomment>
        <translation>Versión %1: no se borró nada (--check).</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Version not found: nothing erased (--check).</source>
        <translation>Versión no encontrada: no se borró nada (--check).</translation>
    </message>
    <message>
        <location filename="../terminal/BenchPrinter.cpp" line="+19"/>
        <source>Already on %1: not updated (--skip-current).</source>
        <extracomment>%1 the firmware version.</extracomment>
        <translation>Ya tiene %1: no actualizado (--skip-current).</translation>
    </message>
    <message>
        <location filename="../core/RunRules.cpp" line="+84"/>
        <source>This QZ7 has %1, newer than %2: not updated. Use --allow-older to put %2 on it anyway.</source>
        <translation>Este QZ7 tiene %1, más reciente que %2: no actualizado. Use --allow-older para ponerle %2 de todos modos.</translation>
    </message>
    <message numerus="yes">
        <location filename="../terminal/Terminal.cpp" line="+47"/>
        <source>Sending the firmware image (%n characters).</source>
        <comment>Sending the firmware image (%n character).</comment>
        <translation>
            <numerusform>Enviando la imagen del firmware (%n carácter).</numerusform>
            <numerusform>Enviando la imagen del firmware (%n caracteres).</numerusform>
        </translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Not updated: the QZ7 was left as it was.</source>
        <translation>No actualizado: el QZ7 quedó como estaba.</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Update to the older firmware? [y/N]</source>
        <translation>¿Actualizar al firmware más antiguo? [y/N]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Update? [y/N]</source>
        <translation>¿Actualizar? [y/N]</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Update to the older firmware? [y/N] y (--yes --allow-older)</source>
        <extracomment>The question answered by the options: &quot;y&quot; stands for the answer, the options as they are.</extracomment>
        <translation>¿Actualizar al firmware más antiguo? [y/N] y (--yes --allow-older)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update? [y/N] y (--yes)</source>
        <translation>¿Actualizar? [y/N] y (--yes)</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>(answer too long)</source>
        <translation>(respuesta demasiado larga)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>(end of input)</source>
        <translation>(fin de la entrada)</translation>
    </message>
    <message>
        <location filename="../run/Bounds.cpp" line="+41"/>
        <source>No QZ7 within %1 s: the port is open but nothing answered. Power on the QZ7 while holding Run/Stop.</source>
        <extracomment>%1 the --wait seconds (also in the next three texts).</extracomment>
        <translation>Ningún QZ7 en %1 s: el puerto está abierto pero nada respondió. Encienda el QZ7 manteniendo pulsado Run/Stop.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No QZ7 within %1 s: no permission to open the port (the line above says how to get it).</source>
        <translation>Ningún QZ7 en %1 s: sin permiso para abrir el puerto (la línea anterior indica cómo obtenerlo).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No QZ7 within %1 s: the port is in use by another program. Close that program and run again.</source>
        <translation>Ningún QZ7 en %1 s: otro programa está usando el puerto. Cierre ese programa y vuelva a ejecutar el programa.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No QZ7 within %1 s: no usable USB adapter was found. Plug the adapter in (or check the path given with --port) and run again.</source>
        <translation>Ningún QZ7 en %1 s: no se encontró ningún adaptador USB utilizable. Conecte el adaptador (o compruebe la ruta indicada con --port) y vuelva a ejecutar el programa.</translation>
    </message>
    <message>
        <location filename="../core/RunRules.cpp" line="-20"/>
        <source>%1 during the update: the QZ7 has no firmware now. Power it on again while holding Run/Stop and update again.</source>
        <translation>%1 durante la actualización: el QZ7 no tiene firmware ahora. Vuelva a encenderlo manteniendo pulsado Run/Stop y actualice de nuevo.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 before anything was erased: the QZ7 is as it was.</source>
        <translation>%1 antes de borrar nada: el QZ7 está como estaba.</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>y yes</source>
        <extracomment>The words that answer yes at the terminal&apos;s &quot;[y/N]&quot; question, lower case, separated by spaces. Keep &quot;y yes&quot; and add the language&apos;s own short and long yes.</extracomment>
        <translation>y yes s sí si</translation>
    </message>
    <message>
        <location filename="../terminal/Terminal.h" line="+22"/>
        <source>Not updated: the port given with --port cannot be used (with --wait the updater waits for it). Nothing was done to any port.</source>
        <translation>No actualizado: el puerto indicado con --port no se puede usar (con --wait el programa lo espera). No se hizo nada en ningún puerto.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not updated: the port given with --port cannot be used: it is no terminal, and waiting does not make it one. Nothing was done to any port.</source>
        <translation>No actualizado: el puerto indicado con --port no se puede usar: no es un terminal, y esperar no lo convierte en uno. No se ha tocado ningún puerto.</translation>
    </message>
    <message>
        <location filename="../run/Bounds.cpp" line="+22"/>
        <source>The QZ7 is being programmed: stopping now would leave it without firmware. The update goes on; press Ctrl+C again within 5 s to stop.</source>
        <translation>Se está programando el QZ7: detenerlo ahora lo dejaría sin firmware. La actualización continúa; pulse Ctrl+C otra vez en 5 s para detenerla.</translation>
    </message>
    <message>
        <location filename="../run/BenchRun.cpp" line="-107"/>
        <location filename="../run/UnitRun.cpp" line="+124"/>
        <source>Interrupted</source>
        <extracomment>Stopped by Ctrl+C or a signal. Starts a sentence: &quot;… during the update: …&quot;, &quot;… before anything was erased: …&quot;.</extracomment>
        <translation>Interrumpido</translation>
    </message>
    <message>
        <location filename="../run/Ledger.cpp" line="+118"/>
        <source>Last updated to %1 (Done) at %2: not updated again (--skip-done).</source>
        <extracomment>%1 the firmware version, %2 the time (UTC).</extracomment>
        <translation>Última actualización a %1 (Done) el %2: no se actualiza de nuevo (--skip-done).</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The QZ7 %1 on %2 was left without firmware at %3; update it again.</source>
        <extracomment>%1 the unit&apos;s name, %2 its slot (the USB socket), %3 the time (UTC).</extracomment>
        <translation>El QZ7 %1 en %2 quedó sin firmware el %3; actualícelo de nuevo.</translation>
    </message>
    <message>
        <location filename="../run/History.cpp" line="+421"/>
        <source>%1  %2  unit %3  slot %4  operator %5  station %6  found %7  firmware %8  lines %9</source>
        <extracomment>--history: one record. %1 its time, %2 the outcome&apos;s name (&quot;done&quot;, kept as it is), %3 the unit, %4 the slot, %5 the operator, %6 the station, %7 the version found, %8 the firmware sent, %9 the lines sent. The labels are read by people; keep two spaces between fields.</extracomment>
        <translation>%1  %2  unidad %3  ranura %4  operador %5  puesto %6  encontrada %7  firmware %8  líneas %9</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>(erase asked for at %1, no end recorded)</source>
        <translation>(borrado pedido a las %1, sin final registrado)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1  passed %2  failed %3  first-pass yield %4 %  units per hour %5</source>
        <extracomment>--history --summary: one day. %1 the day, %2 passed, %3 failed, %4 the first-pass yield in per cent, %5 units per hour.</extracomment>
        <translation>%1  superadas %2  fallidas %3  rendimiento a la primera %4 %  unidades por hora %5</translation>
    </message>
    <message>
        <location filename="../run/HistoryList.cpp" line="+17"/>
        <source>No records yet in %1.</source>
        <extracomment>%1 the history file.</extracomment>
        <translation>Todavía no hay registros en %1.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>cannot read the history %1: %2</source>
        <extracomment>After &quot;qz7-updater: &quot;. %1 the history file, %2 the error.</extracomment>
        <translation>no se puede leer el historial %1: %2</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>No records of %1.</source>
        <extracomment>%1 the unit&apos;s name.</extracomment>
        <translation>No hay registros de %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No records.</source>
        <translation>No hay registros.</translation>
    </message>
    <message>
        <location filename="../terminal/PortList.cpp" line="+10"/>
        <location line="+38"/>
        <source>The serial ports could not be listed: the system&apos;s port enumeration did not start.</source>
        <translation>No se pudieron listar los puertos serie: la enumeración de puertos del sistema no arrancó.</translation>
    </message>
    <message>
        <location line="-34"/>
        <source>No serial ports found. Plug in the USB serial adapter, or name a port with --port PATH.</source>
        <translation>No se encontró ningún puerto serie. Conecte el adaptador serie USB o indique un puerto con --port RUTA.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>no device path</source>
        <translation>sin ruta de dispositivo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>not considered (after the listing&apos;s end)</source>
        <translation>no considerado (tras el final de la lista)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The updater would use %1: its name, %2, holds &quot;%3&quot;, and no later name holds &quot;usb&quot;, &quot;pl2303&quot; or &quot;serial&quot;.</source>
        <extracomment>--list: why the updater takes this port. %1 the path, %2 its name, %3 the word in it (&quot;usb&quot;).</extracomment>
        <translation>El programa usaría %1: su nombre, %2, contiene «%3», y ningún nombre posterior contiene «usb», «pl2303» ni «serial».</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No name holds &quot;usb&quot;, &quot;pl2303&quot; or &quot;serial&quot;: the updater would wait for an adapter. Name the port with --port PATH to use it anyway.</source>
        <translation>Ningún nombre contiene «usb», «pl2303» ni «serial»: el programa esperaría un adaptador. Indique el puerto con --port RUTA para usarlo de todos modos.</translation>
    </message>
    <message numerus="yes">
        <location filename="../run/Records.cpp" line="+145"/>
        <source>QZ7 Updater %1, firmware %2, %n lines, sha256 %3</source>
        <comment>QZ7 Updater %1, firmware %2, %n line, sha256 %3</comment>
        <extracomment>--version: %1 the program&apos;s version, %2 the firmware&apos;s (&quot;V2.007&quot;), %n its lines, %3 its sha256.</extracomment>
        <translation>
            <numerusform>QZ7 Updater %1, firmware %2, %n línea, sha256 %3</numerusform>
            <numerusform>QZ7 Updater %1, firmware %2, %n líneas, sha256 %3</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UpdaterWindow</name>
    <message>
        <location filename="../window/UpdaterWindow.cpp" line="+114"/>
        <source>Erases the QZ7 and sends it firmware V%1</source>
        <translation>Borra el QZ7 y le envía el firmware V%1</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Done</source>
        <translation>Terminado</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Failed</source>
        <translation>Error</translation>
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
        <translation>%1 % – %2</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>Keep updating</source>
        <translation>Seguir actualizando</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop</source>
        <translation>Detener</translation>
    </message>
    <message>
        <location filename="../window/UpdaterWindow.h" line="+104"/>
        <source>QZ7 Updater</source>
        <translation>QZ7 Updater</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The QZ7 is being programmed. Stopping now leaves it without firmware until it is updated again.</source>
        <translation>Se está programando el QZ7. Si lo detiene ahora, quedará sin firmware hasta que se actualice de nuevo.</translation>
    </message>
    <message>
        <location filename="../window/WindowFrontEnd.cpp" line="+122"/>
        <location line="+30"/>
        <source>Save report</source>
        <translation>Guardar informe</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>Report (*.tar.gz)</source>
        <translation>Informe (*.tar.gz)</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>The report could not be written to %1: %2.</source>
        <translation>No se pudo escribir el informe en %1: %2.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>The history did not take this unit&apos;s record: %1.</source>
        <translation>El historial no ha aceptado el registro de esta unidad: %1.</translation>
    </message>
    <message>
        <location filename="../app/main.cpp" line="+68"/>
        <source>The history %1 cannot be kept: %2. Nothing was done to any port.</source>
        <translation>No se puede llevar el historial %1: %2. No se ha hecho nada en ningún puerto.</translation>
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
