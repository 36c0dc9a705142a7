<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>关于</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>版本：</source>
        <translation>版本：</translation>
    </message>
    <message>
        <source>Tarvane.</source>
        <translation>Tarvane.</translation>
    </message>
    <message>
        <source>官网：</source>
        <translation>官网：</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>版权所有 © %1 %2</source>
        <translation>版权所有 © %1 %2</translation>
    </message>
</context>
<context>
    <name>BitTiming</name>
    <message>
        <source>须为4个字节，实为%1个</source>
        <translation>须为4个字节，实为%1个</translation>
    </message>
    <message>
        <source>字段外的位不为0：%1</source>
        <translation>字段外的位不为0：%1</translation>
    </message>
    <message>
        <source>回环模式（位30）</source>
        <translation>回环模式（位30）</translation>
    </message>
    <message>
        <source>静默模式（位31），不应答任何帧</source>
        <translation>静默模式（位31），不应答任何帧</translation>
    </message>
    <message>
        <source>；</source>
        <translation>；</translation>
    </message>
    <message>
        <source>自适应：由设备检测波特率</source>
        <translation>自适应：由设备检测波特率</translation>
    </message>
    <message>
        <source>%1，采样点 %2，每位 %4 个时间份额，SJW %3</source>
        <translation>%1，采样点 %2，每位 %4 个时间份额，SJW %3</translation>
    </message>
    <message>
        <source>SJW %1 长于时间段</source>
        <translation>SJW %1 长于时间段</translation>
    </message>
    <message>
        <source>须为8个十六进制数字，可带0x，以空格或逗号分隔</source>
        <translation>须为8个十六进制数字，可带0x，以空格或逗号分隔</translation>
    </message>
</context>
<context>
    <name>BitTimingDialog</name>
    <message>
        <source>位定时计算</source>
        <translation>位定时计算</translation>
    </message>
    <message>
        <source>比特率 (kbit/s)：</source>
        <translation>比特率 (kbit/s)：</translation>
    </message>
    <message>
        <source>采样点 (%)：</source>
        <translation>采样点 (%)：</translation>
    </message>
    <message>
        <source>SJW：</source>
        <translation>SJW：</translation>
    </message>
    <message>
        <source>容差 (%)：</source>
        <translation>容差 (%)：</translation>
    </message>
    <message>
        <source>位定时字</source>
        <translation>位定时字</translation>
    </message>
    <message>
        <source>比特率 (bit/s)</source>
        <translation>比特率 (bit/s)</translation>
    </message>
    <message>
        <source>误差</source>
        <translation>误差</translation>
    </message>
    <message>
        <source>采样点</source>
        <translation>采样点</translation>
    </message>
    <message>
        <source>时间份额</source>
        <translation>时间份额</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>比特率须为大于0的数（kbit/s）</source>
        <translation>比特率须为大于0的数（kbit/s）</translation>
    </message>
    <message>
        <source>采样点须为大于0、小于100的数（%）</source>
        <translation>采样点须为大于0、小于100的数（%）</translation>
    </message>
    <message>
        <source>SJW须为1到4的整数</source>
        <translation>SJW须为1到4的整数</translation>
    </message>
    <message>
        <source>容差须为0到2之间的数（%）</source>
        <translation>容差须为0到2之间的数（%）</translation>
    </message>
    <message>
        <source>可用的位定时字：%1个，最佳在前</source>
        <translation>可用的位定时字：%1个，最佳在前</translation>
    </message>
    <message>
        <source>±%1内没有可用的位定时字；最接近的是%2（%3，误差%4）</source>
        <translation>±%1内没有可用的位定时字；最接近的是%2（%3，误差%4）</translation>
    </message>
    <message>
        <source>比特率不能低于%1 kbit/s（控制器能产生的最低速率）</source>
        <translation>比特率不能低于%1 kbit/s（控制器能产生的最低速率）</translation>
    </message>
    <message>
        <source>比特率不能高于%1 kbit/s（CAN的最高速率）</source>
        <translation>比特率不能高于%1 kbit/s（CAN的最高速率）</translation>
    </message>
</context>
<context>
    <name>CANParamWidget</name>
    <message>
        <source>通道</source>
        <translation>通道</translation>
    </message>
</context>
<context>
    <name>ChannalWidget</name>
    <message>
        <source>波特率：</source>
        <translation>波特率：</translation>
    </message>
    <message>
        <source>自适应</source>
        <translation>自适应</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>工作模式</translation>
    </message>
    <message>
        <source>位数</source>
        <translation>位数</translation>
    </message>
    <message>
        <source>ID寄存器</source>
        <translation>ID寄存器</translation>
    </message>
    <message>
        <source>掩码寄存器</source>
        <translation>掩码寄存器</translation>
    </message>
    <message>
        <source>掩码模式</source>
        <translation>掩码模式</translation>
    </message>
    <message>
        <source>列表模式</source>
        <translation>列表模式</translation>
    </message>
    <message>
        <source>位定时计算器：按比特率找出位定时字</source>
        <translation>位定时计算器：按比特率找出位定时字</translation>
    </message>
</context>
<context>
    <name>CompareDialog</name>
    <message>
        <source>与设备比较</source>
        <translation>与设备比较</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>通道</translation>
    </message>
    <message>
        <source>过滤器组</source>
        <translation>过滤器组</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>参数</translation>
    </message>
    <message>
        <source>页面上的值</source>
        <translation>页面上的值</translation>
    </message>
    <message>
        <source>设备中的值</source>
        <translation>设备中的值</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>页面与设备中的参数相同。</source>
        <translation>页面与设备中的参数相同。</translation>
    </message>
    <message>
        <source>页面与设备有%1处不同：</source>
        <translation>页面与设备有%1处不同：</translation>
    </message>
</context>
<context>
    <name>DevInfoWidget</name>
    <message>
        <source>设备信息</source>
        <translation>设备信息</translation>
    </message>
    <message>
        <source>硬件类型：</source>
        <translation>硬件类型：</translation>
    </message>
    <message>
        <source>硬件版本：</source>
        <translation>硬件版本：</translation>
    </message>
    <message>
        <source>固件版本：</source>
        <translation>固件版本：</translation>
    </message>
    <message>
        <source>板卡序号：</source>
        <translation>板卡序号：</translation>
    </message>
</context>
<context>
    <name>FilterBanks</name>
    <message>
        <source>扩展</source>
        <translation>扩展</translation>
    </message>
    <message>
        <source>标准</source>
        <translation>标准</translation>
    </message>
    <message>
        <source>数据帧</source>
        <translation>数据帧</translation>
    </message>
    <message>
        <source>远程帧</source>
        <translation>远程帧</translation>
    </message>
    <message>
        <source>数据帧和远程帧</source>
        <translation>数据帧和远程帧</translation>
    </message>
    <message>
        <source>%1%2</source>
        <translation>%1%2</translation>
    </message>
    <message>
        <source>所有帧</source>
        <translation>所有帧</translation>
    </message>
    <message>
        <source>、</source>
        <translation>、</translation>
    </message>
    <message>
        <source>标识符共%1个</source>
        <translation>标识符共%1个</translation>
    </message>
    <message>
        <source>；</source>
        <translation>；</translation>
    </message>
    <message>
        <source>%1/%2（%3个）</source>
        <translation>%1/%2（%3个）</translation>
    </message>
    <message>
        <source>过滤器%1：</source>
        <translation>过滤器%1：</translation>
    </message>
    <message>
        <source>ID寄存器：%1</source>
        <translation>ID寄存器：%1</translation>
    </message>
    <message>
        <source>掩码寄存器：%1</source>
        <translation>掩码寄存器：%1</translation>
    </message>
    <message>
        <source>永不匹配：IDE位为0（标准帧），却要求扩展标识符位%1为1</source>
        <translation>永不匹配：IDE位为0（标准帧），却要求扩展标识符位%1为1</translation>
    </message>
    <message>
        <source>只匹配标准帧，11位标识符之外的位%1却为1（不比较）</source>
        <translation>只匹配标准帧，11位标识符之外的位%1却为1（不比较）</translation>
    </message>
    <message>
        <source>在使用，但没有帧能通过</source>
        <translation>在使用，但没有帧能通过</translation>
    </message>
    <message>
        <source>与过滤器组%1有%2个相同的标识符</source>
        <translation>与过滤器组%1有%2个相同的标识符</translation>
    </message>
    <message>
        <source>未使用</source>
        <translation>未使用</translation>
    </message>
    <message>
        <source>没有标识符或范围</source>
        <translation>没有标识符或范围</translation>
    </message>
    <message>
        <source>“%1”不是十六进制的标识符或范围</source>
        <translation>“%1”不是十六进制的标识符或范围</translation>
    </message>
    <message>
        <source>不认识“%1”（可用 ext、std、data、remote、both）</source>
        <translation>不认识“%1”（可用 ext、std、data、remote、both）</translation>
    </message>
    <message>
        <source>一项只能有一个标识符或范围，“%1”多余</source>
        <translation>一项只能有一个标识符或范围，“%1”多余</translation>
    </message>
    <message>
        <source>ext 与 std 不能同时给出</source>
        <translation>ext 与 std 不能同时给出</translation>
    </message>
    <message>
        <source>范围的起点大于终点</source>
        <translation>范围的起点大于终点</translation>
    </message>
    <message>
        <source>%1超出扩展标识符（最大0x1FFFFFFF）</source>
        <translation>%1超出扩展标识符（最大0x1FFFFFFF）</translation>
    </message>
    <message>
        <source>%1超出标准标识符（最大0x7FF）；扩展帧请加 ext</source>
        <translation>%1超出标准标识符（最大0x7FF）；扩展帧请加 ext</translation>
    </message>
    <message>
        <source>第%1行“%2”：%3</source>
        <translation>第%1行“%2”：%3</translation>
    </message>
    <message>
        <source>“%1”：%2</source>
        <translation>“%1”：%2</translation>
    </message>
    <message>
        <source>过滤器组%1</source>
        <translation>过滤器组%1</translation>
    </message>
    <message>
        <source>过滤器组%1–%2</source>
        <translation>过滤器组%1–%2</translation>
    </message>
    <message>
        <source>没有要求任何标识符</source>
        <translation>没有要求任何标识符</translation>
    </message>
    <message>
        <source>从过滤器组%1起没有过滤器组可用</source>
        <translation>从过滤器组%1起没有过滤器组可用</translation>
    </message>
    <message>
        <source>只让所要求的标识符通过需要%1个过滤器组，从过滤器组%2起只有%3个</source>
        <translation>只让所要求的标识符通过需要%1个过滤器组，从过滤器组%2起只有%3个</translation>
    </message>
    <message>
        <source>计划未通过解码核对，没有填入</source>
        <translation>计划未通过解码核对，没有填入</translation>
    </message>
    <message>
        <source>%1，只通过所要求的标识符</source>
        <translation>%1，只通过所要求的标识符</translation>
    </message>
    <message>
        <source>%1（只让所要求的标识符通过需要%2个过滤器组）</source>
        <translation>%1（只让所要求的标识符通过需要%2个过滤器组）</translation>
    </message>
    <message>
        <source>另有%1个标识符的数据帧通过</source>
        <translation>另有%1个标识符的数据帧通过</translation>
    </message>
    <message>
        <source>另有%1个标识符的远程帧通过</source>
        <translation>另有%1个标识符的远程帧通过</translation>
    </message>
</context>
<context>
    <name>OpticalFiberParamWidget</name>
    <message>
        <source>OpticalFiberParamWidget</source>
        <translation>OpticalFiberParamWdiget</translation>
    </message>
    <message>
        <source>光纤</source>
        <translation>光纤</translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation>波特率：</translation>
    </message>
    <message>
        <source>【注意】：如需修改,请确保与对接光纤通道的波特率保持一致.</source>
        <translation>【注意】：如需修改,请确保与对接光纤通道的波特率保持一致.</translation>
    </message>
</context>
<context>
    <name>ParameterDiff</name>
    <message>
        <source>波特率</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>使用</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>工作模式</translation>
    </message>
    <message>
        <source>位数</source>
        <translation>位数</translation>
    </message>
    <message>
        <source>ID寄存器</source>
        <translation>ID寄存器</translation>
    </message>
    <message>
        <source>掩码寄存器</source>
        <translation>掩码寄存器</translation>
    </message>
    <message>
        <source>光纤%1</source>
        <translation>光纤%1</translation>
    </message>
    <message>
        <source>路由→%1</source>
        <translation>路由→%1</translation>
    </message>
</context>
<context>
    <name>ParameterDocument</name>
    <message>
        <source>缺少</source>
        <translation>缺少</translation>
    </message>
    <message>
        <source>须为数组</source>
        <translation>须为数组</translation>
    </message>
    <message>
        <source>须为对象</source>
        <translation>须为对象</translation>
    </message>
    <message>
        <source>须为字符串</source>
        <translation>须为字符串</translation>
    </message>
    <message>
        <source>须为整数</source>
        <translation>须为整数</translation>
    </message>
    <message>
        <source>须有5个以逗号分隔的字段，实有%1个</source>
        <translation>须有5个以逗号分隔的字段，实有%1个</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>使用</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>工作模式</translation>
    </message>
    <message>
        <source>位数</source>
        <translation>位数</translation>
    </message>
    <message>
        <source>%1须为0或1，实为“%2”</source>
        <translation>%1须为0或1，实为“%2”</translation>
    </message>
    <message>
        <source>ID寄存器：%1</source>
        <translation>ID寄存器：%1</translation>
    </message>
    <message>
        <source>掩码寄存器：%1</source>
        <translation>掩码寄存器：%1</translation>
    </message>
    <message>
        <source>%1：设备没有CAN通道%2，已忽略</source>
        <translation>%1：设备没有CAN通道%2，已忽略</translation>
    </message>
    <message>
        <source>与%1[%2]相同</source>
        <translation>与%1[%2]相同</translation>
    </message>
    <message>
        <source>没有“ChannalID”为%1的元素</source>
        <translation>没有“ChannalID”为%1的元素</translation>
    </message>
    <message>
        <source>须有%1项，实有%2项</source>
        <translation>须有%1项，实有%2项</translation>
    </message>
    <message>
        <source>%1：设备没有光纤%2，已忽略</source>
        <translation>%1：设备没有光纤%2，已忽略</translation>
    </message>
    <message>
        <source>须为01到0c的十六进制代码</source>
        <translation>须为01到0c的十六进制代码</translation>
    </message>
    <message>
        <source>没有光纤%1的代码</source>
        <translation>没有光纤%1的代码</translation>
    </message>
    <message>
        <source>须为6个由0和1组成的字符串</source>
        <translation>须为6个由0和1组成的字符串</translation>
    </message>
    <message>
        <source>顶层须为对象</source>
        <translation>顶层须为对象</translation>
    </message>
    <message>
        <source>缺少“%1”</source>
        <translation>缺少“%1”</translation>
    </message>
</context>
<context>
    <name>ProtocolTrace</name>
    <message>
        <source>打开 %1</source>
        <translation>打开 %1</translation>
    </message>
    <message>
        <source>无法打开 %1</source>
        <translation>无法打开 %1</translation>
    </message>
    <message>
        <source>（写入失败）</source>
        <translation>（写入失败）</translation>
    </message>
    <message>
        <source>（只写出%1个字节）</source>
        <translation>（只写出%1个字节）</translation>
    </message>
    <message>
        <source>（此前未取走的回复，已丢弃）</source>
        <translation>（此前未取走的回复，已丢弃）</translation>
    </message>
    <message>
        <source>超时：%1 ms内没有回复</source>
        <translation>超时：%1 ms内没有回复</translation>
    </message>
    <message>
        <source>读取失败</source>
        <translation>读取失败</translation>
    </message>
</context>
<context>
    <name>RouteParamWidget</name>
    <message>
        <source>RouteParamWidget</source>
        <translation>RouteParamWidget</translation>
    </message>
    <message>
        <source>光纤1</source>
        <translation>光纤1</translation>
    </message>
    <message>
        <source>光纤2</source>
        <translation>光纤2</translation>
    </message>
    <message>
        <source>光纤3</source>
        <translation>光纤3</translation>
    </message>
    <message>
        <source>光纤4</source>
        <translation>光纤4</translation>
    </message>
    <message>
        <source>开/关</source>
        <translation>开/关</translation>
    </message>
    <message>
        <source>① 开/关：√表示该通道打开，╳表示该通道关闭.</source>
        <translation>① 开/关：√表示该通道打开，╳表示该通道关闭.</translation>
    </message>
    <message>
        <source>② 路由：√表示该通道路由使能，╳表示该通道路由禁止.</source>
        <translation>② 路由：√表示该通道路由使能，╳表示该通道路由禁止.</translation>
    </message>
</context>
<context>
    <name>Tarvane</name>
    <message>
        <source>以下参数有误，未向设备发送任何数据：</source>
        <translation>以下参数有误，未向设备发送任何数据：</translation>
    </message>
    <message>
        <source>CAN通道%1 波特率：位定时须为4个字节</source>
        <translation>CAN通道%1 波特率：位定时须为4个字节</translation>
    </message>
    <message>
        <source>CAN通道%1 第%2行 ID寄存器：须为4个字节</source>
        <translation>CAN通道%1 第%2行 ID寄存器：须为4个字节</translation>
    </message>
    <message>
        <source>CAN通道%1 第%2行 掩码寄存器：须为4个字节</source>
        <translation>CAN通道%1 第%2行 掩码寄存器：须为4个字节</translation>
    </message>
    <message>
        <source>光纤%1 波特率：未选择</source>
        <translation>光纤%1 波特率：未选择</translation>
    </message>
    <message>
        <source>……另有%1处</source>
        <translation>……另有%1处</translation>
    </message>
    <message>
        <source>Tarvane</source>
        <translation>Tarvane</translation>
    </message>
    <message>
        <source>正在搜索设备,请稍等</source>
        <translation>正在搜索,请稍等</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>设备信息</source>
        <translation>设备信息</translation>
    </message>
    <message>
        <source>CAN参数</source>
        <translation>CAN参数</translation>
    </message>
    <message>
        <source>光纤参数</source>
        <translation>光纤参数</translation>
    </message>
    <message>
        <source>路由参数</source>
        <translation>路由参数</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>搜索设备失败</source>
        <translation>搜索设备失败</translation>
    </message>
    <message>
        <source>设备未连接</source>
        <translation>设备未连接</translation>
    </message>
    <message>
        <source>读取CAN波特率失败</source>
        <translation>读取CAN波特率失败</translation>
    </message>
    <message>
        <source>读取光纤数据失败</source>
        <translation>读取光驱数据失败</translation>
    </message>
    <message>
        <source>读取路由数据失败</source>
        <translation>读取路由数据失败</translation>
    </message>
    <message>
        <source>读取成功</source>
        <translation>读取成功</translation>
    </message>
    <message>
        <source>设置CAN波特率失败</source>
        <translation>设置CAN波特率失败</translation>
    </message>
    <message>
        <source>设置CAN掩码失败</source>
        <translation>设置CAN掩码失败</translation>
    </message>
    <message>
        <source>设置光纤波特率失败</source>
        <translation>设置光纤波特率失败</translation>
    </message>
    <message>
        <source>设置路由失败</source>
        <translation>设置路由失败</translation>
    </message>
    <message>
        <source>参数已设置，复位无应答.</source>
        <translation>参数已设置，复位无应答.</translation>
    </message>
    <message>
        <source>设置成功</source>
        <translation>设置成功</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>保存配置</translation>
    </message>
    <message>
        <source>打开配置</source>
        <translation>打开配置</translation>
    </message>
    <message>
        <source>TXT 文本文件(*.txt)</source>
        <translation>TXT文本文件(*.txt)</translation>
    </message>
    <message>
        <source>保存完成</source>
        <translation>保存完成</translation>
    </message>
    <message>
        <source>读取完成</source>
        <translation>读取完成</translation>
    </message>
    <message>
        <source>写配置文件失败.</source>
        <translation>写配置文件失败.</translation>
    </message>
    <message>
        <source>打开配置文件失败.</source>
        <translation>打开配置文件失败.</translation>
    </message>
    <message>
        <source>解析配置文件失败.</source>
        <translation>解析配置文件失败.</translation>
    </message>
    <message>
        <source>文件大于1 MiB.</source>
        <translation>文件大于1 MiB.</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>发送复位指令失败.</source>
        <translation>发送复位指令失败.</translation>
    </message>
    <message>
        <source>复位失败.</source>
        <translation>复位失败.</translation>
    </message>
    <message>
        <source>读取掩码数据失败</source>
        <translation>读取掩码数据失败</translation>
    </message>
    <message>
        <source>CAN通道%1 波特率：%2</source>
        <translation>CAN通道%1 波特率：%2</translation>
    </message>
    <message>
        <source>CAN通道%1：%2</source>
        <translation>CAN通道%1：%2</translation>
    </message>
    <message>
        <source>；</source>
        <translation>；</translation>
    </message>
    <message>
        <source>以下CAN通道的位定时字处于测试模式，通道不能在总线上正常收发：</source>
        <translation>以下CAN通道的位定时字处于测试模式，通道不能在总线上正常收发：</translation>
    </message>
    <message>
        <source>仍要写入设备吗？</source>
        <translation>仍要写入设备吗？</translation>
    </message>
    <message>
        <source>与设备比较</source>
        <translation>与设备比较</translation>
    </message>
    <message>
        <source>选择设备</source>
        <translation>选择设备</translation>
    </message>
    <message>
        <source>参数文件中没有这台设备的参数</source>
        <translation>参数文件中没有这台设备的参数</translation>
    </message>
    <message>
        <source>连接的设备已更换，请重试</source>
        <translation>连接的设备已更换，请重试</translation>
    </message>
</context>
<context>
    <name>TarvaneClass</name>
    <message>
        <source>Tarvane</source>
        <translation>Tarvane</translation>
    </message>
    <message>
        <source>设备名称：</source>
        <translation>设备名称：</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>写配置</source>
        <translation>写配置</translation>
    </message>
    <message>
        <source>读配置</source>
        <translation>读配置</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>正在搜索设备,请稍等</source>
        <translation>正在搜索设备,请稍等</translation>
    </message>
    <message>
        <source>默认值</source>
        <translation>默认值</translation>
    </message>
</context>
<context>
    <name>TarvaneCli</name>
    <message>
        <source>缺少命令</source>
        <translation>缺少命令</translation>
    </message>
    <message>
        <source>未知命令：%1</source>
        <translation>未知命令：%1</translation>
    </message>
    <message>
        <source>未知选项：%1</source>
        <translation>未知选项：%1</translation>
    </message>
    <message>
        <source>选项%1缺少值</source>
        <translation>选项%1缺少值</translation>
    </message>
    <message>
        <source>缺少参数文件</source>
        <translation>缺少参数文件</translation>
    </message>
    <message>
        <source>缺少 -o 文件</source>
        <translation>缺少 -o 文件</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>多余的参数：%1</translation>
    </message>
    <message>
        <source>未知语言：%1（可用 en、zh）</source>
        <translation>未知语言：%1（可用 en、zh）</translation>
    </message>
    <message>
        <source>用 --help 查看用法。</source>
        <translation>用 --help 查看用法。</translation>
    </message>
    <message>
        <source>用法：tarvane-cli list [--json]

列出连接的每台中继器（USB 0483:6901），每台一行，以制表符分隔：路径、型号、卡号、硬件版本、固件版本、CAN通道数、光纤通道数。
无应答的设备只列出路径和错误，退出状态为4；没有连接设备时退出状态为3。--json 以 JSON 数组输出。</source>
        <translation>用法：tarvane-cli list [--json]

列出连接的每台中继器（USB 0483:6901），每台一行，以制表符分隔：路径、型号、卡号、硬件版本、固件版本、CAN通道数、光纤通道数。
无应答的设备只列出路径和错误，退出状态为4；没有连接设备时退出状态为3。--json 以 JSON 数组输出。</translation>
    </message>
    <message>
        <source>用法：tarvane-cli read [--device 路径|卡号] -o 文件

像窗口的“读配置”一样读取设备参数，存为与窗口“保存”相同的参数文件。
-o - 把参数文件写到标准输出。连接多台设备时，须用 --device 以路径或卡号指定一台。</source>
        <translation>用法：tarvane-cli read [--device 路径|卡号] -o 文件

像窗口的“读配置”一样读取设备参数，存为与窗口“保存”相同的参数文件。
-o - 把参数文件写到标准输出。连接多台设备时，须用 --device 以路径或卡号指定一台。</translation>
    </message>
    <message>
        <source>用法：tarvane-cli write 文件 [--device 路径|卡号] [--backup 文件] [--verify [--wait 秒]] [--dry-run [--type 1-5]]

像窗口的“打开”一样打开参数文件，检查各参数，像“写配置”一样发送各帧并复位设备。
参数文件须给出设备的每个参数；有缺漏或错误时不发送任何数据。
--backup 先读取设备，把其参数存为文件（- 为标准输出）；读取或保存失败时不发送任何数据。
--verify 复位后等待这台设备（按卡号）重新应答，最多 --wait 秒（默认10），读取并与写入的参数比较：相同时退出状态为0，不同时列出各个参数并以5退出，未重新应答时以4退出。
--dry-run 不发送，只把各帧写到标准输出，每帧一行；加 --type 时按该硬件类型输出，无须连接设备。</source>
        <translation>用法：tarvane-cli write 文件 [--device 路径|卡号] [--backup 文件] [--verify [--wait 秒]] [--dry-run [--type 1-5]]

像窗口的“打开”一样打开参数文件，检查各参数，像“写配置”一样发送各帧并复位设备。
参数文件须给出设备的每个参数；有缺漏或错误时不发送任何数据。
--backup 先读取设备，把其参数存为文件（- 为标准输出）；读取或保存失败时不发送任何数据。
--verify 复位后等待这台设备（按卡号）重新应答，最多 --wait 秒（默认10），读取并与写入的参数比较：相同时退出状态为0，不同时列出各个参数并以5退出，未重新应答时以4退出。
--dry-run 不发送，只把各帧写到标准输出，每帧一行；加 --type 时按该硬件类型输出，无须连接设备。</translation>
    </message>
    <message>
        <source>用法：tarvane-cli diff 文件 [--device 路径|卡号]

读取设备参数并与参数文件比较，每个不同的参数一行，以制表符分隔：通道、过滤器组、参数、文件中的值、设备中的值。
参数文件须给出设备的每个参数。相同时不输出，退出状态为0；不同时退出状态为1。</source>
        <translation>用法：tarvane-cli diff 文件 [--device 路径|卡号]

读取设备参数并与参数文件比较，每个不同的参数一行，以制表符分隔：通道、过滤器组、参数、文件中的值、设备中的值。
参数文件须给出设备的每个参数。相同时不输出，退出状态为0；不同时退出状态为1。</translation>
    </message>
    <message>
        <source>用法：tarvane-cli [--lang en|zh] [--trace] 命令 [选项]

命令：
  list [--json]                                列出连接的每台中继器
  read [--device 路径|卡号] -o 文件            读取设备参数，存为参数文件
  write 文件 [--device 路径|卡号] [--dry-run]  把参数文件写入设备并复位
  diff 文件 [--device 路径|卡号]               列出设备与参数文件不同的参数

--lang zh 以中文显示信息（默认英文）。--trace 在标准错误上逐行列出发送和收到的每个报告。每个命令都有 --help；--version 显示版本。
只有写成“--选项=值”时，值才能以“-”开头；“--”之后都不是选项。
退出状态：0 完成（diff：相同），1 diff 发现不同，2 用法或文件错误，3 没有这台设备、没有连接设备或多于一台，4 设备拒绝或无应答，5 已写入但设备保存的参数不同（write --verify）。</source>
        <translation>用法：tarvane-cli [--lang en|zh] [--trace] 命令 [选项]

命令：
  list [--json]                                列出连接的每台中继器
  read [--device 路径|卡号] -o 文件            读取设备参数，存为参数文件
  write 文件 [--device 路径|卡号] [--dry-run]  把参数文件写入设备并复位
  diff 文件 [--device 路径|卡号]               列出设备与参数文件不同的参数

--lang zh 以中文显示信息（默认英文）。--trace 在标准错误上逐行列出发送和收到的每个报告。每个命令都有 --help；--version 显示版本。
只有写成“--选项=值”时，值才能以“-”开头；“--”之后都不是选项。
退出状态：0 完成（diff：相同），1 diff 发现不同，2 用法或文件错误，3 没有这台设备、没有连接设备或多于一台，4 设备拒绝或无应答，5 已写入但设备保存的参数不同（write --verify）。</translation>
    </message>
    <message>
        <source>无法打开设备</source>
        <translation>无法打开设备</translation>
    </message>
    <message>
        <source>无法打开设备：%1</source>
        <translation>无法打开设备：%1</translation>
    </message>
    <message>
        <source>没有这台设备：%1</source>
        <translation>没有这台设备：%1</translation>
    </message>
    <message>
        <source>连接的设备：</source>
        <translation>连接的设备：</translation>
    </message>
    <message>
        <source>连接了多台设备，请用 --device 以路径或卡号指定其中一台：</source>
        <translation>连接了多台设备，请用 --device 以路径或卡号指定其中一台：</translation>
    </message>
    <message>
        <source>有多台设备的卡号是%1，请用 --device 以路径指定其中一台：</source>
        <translation>有多台设备的卡号是%1，请用 --device 以路径指定其中一台：</translation>
    </message>
    <message>
        <source>读取：第%1步，共%2步</source>
        <translation>读取：第%1步，共%2步</translation>
    </message>
    <message>
        <source>写入：第%1步，共%2步</source>
        <translation>写入：第%1步，共%2步</translation>
    </message>
    <message>
        <source>注意：%1</source>
        <translation>注意：%1</translation>
    </message>
    <message>
        <source>选项%1的值不能为空</source>
        <translation>选项%1的值不能为空</translation>
    </message>
    <message>
        <source>选项%1缺少值：“%2”是一个选项；若确是此值，请写成 %1=%2</source>
        <translation>选项%1缺少值：“%2”是一个选项；若确是此值，请写成 %1=%2</translation>
    </message>
    <message>
        <source>选项%1的值无效：%2</source>
        <translation>选项%1的值无效：%2</translation>
    </message>
    <message>
        <source>选项%1只能与%2一起使用</source>
        <translation>选项%1只能与%2一起使用</translation>
    </message>
    <message>
        <source>选项%1不能与%2一起使用</source>
        <translation>选项%1不能与%2一起使用</translation>
    </message>
    <message>
        <source>参数文件不完整或有误：%1：%2</source>
        <translation>参数文件不完整或有误：%1：%2</translation>
    </message>
    <message>
        <source>无法写到标准输出：%1</source>
        <translation>无法写到标准输出：%1</translation>
    </message>
    <message>
        <source>备份已保存：%1</source>
        <translation>备份已保存：%1</translation>
    </message>
    <message>
        <source>有多台设备的卡号是%1，无法校验</source>
        <translation>有多台设备的卡号是%1，无法校验</translation>
    </message>
    <message>
        <source>校验无误：设备保存的参数与写入的相同</source>
        <translation>校验无误：设备保存的参数与写入的相同</translation>
    </message>
    <message>
        <source>已写入，但设备保存的参数与写入的不同</source>
        <translation>已写入，但设备保存的参数与写入的不同</translation>
    </message>
    <message>
        <source>设备复位后%1秒内没有再应答</source>
        <translation>设备复位后%1秒内没有再应答</translation>
    </message>
</context>
<context>
    <name>TitleWidget</name>
    <message>
        <source>菜单</source>
        <translation>菜单</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>关闭</translation>
    </message>
</context>
</TS>
