<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="pt_BR">
<context>
    <name>ErrorReport</name>
    <message>
        <source>Erro desconhecido.</source>
        <translation>Unknown error.</translation>
    </message>
</context>
<context>
    <name>ShippedDocument</name>
    <message>
        <source>Canal do tempo</source>
        <translation>Weather channel</translation>
    </message>
    <message>
        <source>Previsão do tempo</source>
        <translation>Weather forecast</translation>
    </message>
    <message>
        <source>Ajuda do Zentavo 3D</source>
        <translation>Zentavo 3D Help</translation>
    </message>
    <message>
        <source>Hora certa no mundo</source>
        <translation>Exact time around the world</translation>
    </message>
    <message>
        <source>Dia e noite no mapa</source>
        <translation>Day and night on the map</translation>
    </message>
    <message>
        <source>Sobre o Zentavo 3D</source>
        <translation>About Zentavo 3D</translation>
    </message>
</context>
<context>
    <name>TEventNotices</name>
    <message>
        <source>Alarme</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>Desligar</source>
        <translation>Shut down</translation>
    </message>
    <message>
        <source>Tarefa</source>
        <translation>Run program</translation>
    </message>
    <message>
        <source>Evento</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>Parar</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Tarefa iniciada</source>
        <translation>Program started</translation>
    </message>
    <message>
        <source>Desligando o computador</source>
        <translation>Shutting down the computer</translation>
    </message>
    <message>
        <source>Evento agendado do Zentavo</source>
        <translation>Event scheduled in Zentavo</translation>
    </message>
    <message>
        <source>Evento perdido</source>
        <translation>Missed event</translation>
    </message>
    <message>
        <source>O computador será desligado em breve</source>
        <translation>The computer will shut down shortly</translation>
    </message>
    <message>
        <source>Evento agendado do Zentavo para %1</source>
        <translation>Zentavo event scheduled for %1</translation>
    </message>
    <message>
        <source>Cancelar</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TFrm_SetUp</name>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancelar</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>Calendário / Alarme</source>
        <translation>Calendar / Alarm</translation>
    </message>
    <message>
        <source>Fuso Horário</source>
        <translation>Time Zone</translation>
    </message>
    <message>
        <source>Configurações</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>&amp;Hora         :</source>
        <translation>&amp;Time         :</translation>
    </message>
    <message>
        <source>&amp;Ação</source>
        <translation>&amp;Action</translation>
    </message>
    <message>
        <source>Alarme</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>Desligar</source>
        <translation>Shut down</translation>
    </message>
    <message>
        <source>Tarefa</source>
        <translation>Run program</translation>
    </message>
    <message>
        <source>&amp;Monitorar evento</source>
        <translation>&amp;Monitor event</translation>
    </message>
    <message>
        <source>&amp;Executar aplicativo</source>
        <translation>&amp;Run application</translation>
    </message>
    <message>
        <source>&amp;Fuso horário</source>
        <translation>&amp;Time zone</translation>
    </message>
    <message>
        <source>&amp;Iniciar com o Windows</source>
        <translation>&amp;Start at login</translation>
    </message>
    <message>
        <source>E&amp;xecutar som                       vezes</source>
        <translation>Pla&amp;y sound                         times</translation>
    </message>
    <message>
        <source>&amp;Transparência</source>
        <translation>&amp;Transparency</translation>
    </message>
    <message>
        <source>&amp;Usar efeito de luz solar</source>
        <translation>Use sun&amp;light effect</translation>
    </message>
    <message>
        <source>&amp;Som de alarme</source>
        <translation>&amp;Alarm sound</translation>
    </message>
    <message>
        <source>Te&amp;mpo agora em...</source>
        <translation>&amp;Weather now in...</translation>
    </message>
    <message>
        <source>Se&amp;rvidor de horário na Internet</source>
        <translation>Internet time se&amp;rver</translation>
    </message>
    <message>
        <source>&amp;Proxy</source>
        <translation>&amp;Proxy</translation>
    </message>
    <message>
        <source>Usuário</source>
        <translation>User</translation>
    </message>
    <message>
        <source>Senha</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Servidor</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Porta</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>&amp;Horário de verão</source>
        <translation>&amp;Daylight saving</translation>
    </message>
    <message>
        <source>Conexão</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>Aquivo de configuração</source>
        <translation>Configuration file</translation>
    </message>
    <message>
        <source>Sincronização de horário</source>
        <translation>Time sync</translation>
    </message>
    <message>
        <source>Meteorologia</source>
        <translation>Weather</translation>
    </message>
    <message>
        <source>Atualização de sistema</source>
        <translation>System update</translation>
    </message>
    <message>
        <source>Ação esperada</source>
        <translation>Scheduled action</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>Item</translation>
    </message>
</context>
<context>
    <name>TGlobeInteraction</name>
    <message>
        <source>Foco:</source>
        <translation>Focus:</translation>
    </message>
</context>
<context>
    <name>TSetUpTransfer</name>
    <message>
        <source>%1 para %2</source>
        <translation>%1 at %2</translation>
    </message>
    <message>
        <source>Este evento não poderá ser monitorado.
A data agendandada (%1) já passou</source>
        <translation>This event cannot be monitored.
Its scheduled date (%1) has already passed</translation>
    </message>
</context>
<context>
    <name>TTrayIcon</name>
    <message>
        <source>Zentavo agendou um evento para</source>
        <translation>Zentavo has scheduled an event for</translation>
    </message>
</context>
<context>
    <name>Twatch</name>
    <message>
        <source>Configurações</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Serviços</source>
        <translation>Services</translation>
    </message>
    <message>
        <source>&amp;Ajuda</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;Sobre...</source>
        <translation>&amp;About...</translation>
    </message>
    <message>
        <source>&amp;Sair</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>Arraste a lua com a tecla Ctrl pressionada para reposicionar o globo<byte value="xd"/>
ou de um duplo clique para configurar.</source>
        <translation>Drag the moon with the Ctrl key held down to move the globe<byte value="xd"/>
or double-click it to open the settings.</translation>
    </message>
    <message>
        <source>Erro ao carregar configurações.</source>
        <translation>Error loading the settings.</translation>
    </message>
    <message>
        <source>Uma cópia das configurações anteriores foi guardada em %1.</source>
        <translation>A copy of the previous settings was kept in %1.</translation>
    </message>
</context>
</TS>
